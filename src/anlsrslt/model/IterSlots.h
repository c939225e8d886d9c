// The slot types of the iterator stores (anlsrslt/model/impl/IterCont.h):
// one for each kind of model collection that the query interface walks. A
// slot holds its id and the current and end positions of one walk; its
// element is what the walk's current gives: a plain pointer (a number for
// graph nodes) that adds no reference.
#pragma once

#include "anlsrslt/model/ControlGraphEdge.h"
#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/DefineSet.h"
#include "anlsrslt/model/IncludeRecord.h"
#include "anlsrslt/model/Relation.h"
#include "foundation/Ref.h"
#include "foundation/StringStore.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

class P_Literal;
struct P_ExternVarRecord;
struct P_Symbol;
struct P_Template;

// What every slot holds. A default-built slot has id 1 and empty positions;
// the store gives it its id and positions before anyone sees it.
template <class It> struct P_IterSlot {
  using Position = It;

  void start(Position begin, Position stop) {
    pos = begin;
    end = stop;
  }

  std::int32_t id = 1;
  Position pos{};
  Position end{};
};

// The product-option table: interned option names (in interning order) to
// their interned values, the values of one name in the order given.
using P_ProductOptionTable = std::multimap<const char *, const char *, U_InternedStringOrder>;

// The values filed under one name in the product-option table. The walk
// holds the table it started on, so that a table built afresh meanwhile
// leaves it valid; the slot lets go of it when its id is handed out again.
struct P_OptionValueIter : P_IterSlot<P_ProductOptionTable::const_iterator> {
  using Element = const char *;
  void start(Position begin, Position stop, P_CountedPtr<P_ProductOptionTable> table) {
    P_IterSlot::start(begin, stop);
    m_table = std::move(table);
  }
  Element element() const { return pos->second; }

  P_CountedPtr<P_ProductOptionTable> m_table;
};

// A symbol's declarations, or the redeclarations filed under one of them.
// The define at the position must be there (guarded).
struct P_DefineIter : P_IterSlot<P_DefineSet::const_iterator> {
  using Element = P_Define *;
  Element element() const;
};

// Every include record of the run.
struct P_IncludeIter : P_IterSlot<P_IncludeRelationSet::const_iterator> {
  using Element = P_IncludeRecord *;
  Element element() const { return pos->second.pointer(); }
};

// The relations filed under one relation kind.
struct P_RelationIter : P_IterSlot<P_RelationsByName::const_iterator> {
  using Element = P_Relation *;
  Element element() const { return pos->second.pointer(); }
};

// Every external-variable record, keyed by its interned second name.
struct P_ExternVarIter : P_IterSlot<std::multimap<const char *, P_CountedPtr<P_ExternVarRecord>,
                                                  U_InternedStringOrder>::const_iterator> {
  using Element = P_ExternVarRecord *;
  Element element() const { return pos->second.pointer(); }
};

// Orders literals by file, line and column (defined beside the literal
// records).
struct P_LiteralLess {
  bool operator()(const U_RefPtr<P_Literal> &a, const U_RefPtr<P_Literal> &b) const;
};
using P_LiteralSet = std::set<U_RefPtr<P_Literal>, P_LiteralLess>;

// Every literal record.
struct P_LiteralIter : P_IterSlot<P_LiteralSet::const_iterator> {
  using Element = P_Literal *;
  Element element() const { return pos->pointer(); }
};

// The list of all symbols, or a template's settled or pending symbols. The
// handle at the position must be set (guarded).
struct P_SymbolIter : P_IterSlot<std::vector<U_RefPtr<P_Symbol>>::const_iterator> {
  using Element = P_Symbol *;
  Element element() const;
};

// The templates of the table, or a template's nested templates. The handle
// at the position must be set (guarded).
struct P_TemplateIter : P_IterSlot<std::vector<U_RefPtr<P_Template>>::const_iterator> {
  using Element = P_Template *;
  Element element() const;
};

// The node numbers of a control graph; current gives 0 at the end, like a
// node numbered 0.
struct P_GraphNodeIter : P_IterSlot<std::vector<std::uint32_t>::const_iterator> {
  using Element = std::uint32_t;
  Element element() const { return *pos; }
};

// The edges of a control graph.
struct P_GraphEdgeIter : P_IterSlot<std::vector<P_CountedPtr<P_ControlGraphEdge>>::const_iterator> {
  using Element = P_ControlGraphEdge *;
  Element element() const { return pos->pointer(); }
};
