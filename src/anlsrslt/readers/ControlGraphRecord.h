// The control-graph records of a record file: a "CTLG" header (the
// function's encoded name and a number), "CTLG" edge lines (from and to node
// numbers) and a "CTLGN" line of node numbers, which ends the graph. A line
// that begins "<S>STFIL" ends an open graph too (the record writer begins the
// metrics of a new entity with it). A finished graph goes to the control-graph
// listeners and is kept for the whole run.
//
// The reading state is kept across record files: a graph open at the end of
// one file is finished by the next such line, maybe in the next file. A graph
// still open when the run ends is dropped.
#pragma once

#include "anlsrslt/model/ControlGraph.h"
#include "anlsrslt/model/CountedPtr.h"

#include <string>
#include <vector>

// Called with each finished graph; the graph stays alive after the call.
using ControlGraphListener = void (*)(P_ControlGraph *graph);

// Switches on the reading of "CTLG", "CTLGN" and "S" lines for graphs and
// adds the listener (once).
void registerControlGraphHandlers(ControlGraphListener listener);

// The handler of tag "CTLG". While a header is expected the line is one: a
// function with a symbol in the current translation unit opens a graph (a
// number that is missing or not a number is 0); one without a symbol opens
// none, and the lines up to the next "CTLGN" line are passed over. Otherwise
// it is an edge of the open graph; an edge whose two numbers do not both
// read is passed over.
void handleControlGraphRecord(const std::string &line);
// The handler of tag "CTLGN": the node numbers of the open graph, up to the
// first word that is not a number; then the graph is finished and a header is
// expected again.
void handleControlGraphNodes(const std::string &line);
// The handler of tag "S" for graphs: a line that begins "<S>STFIL" finishes
// the open graph.
void handleSourceStartForGraph(const std::string &line);
// Finishes the open graph, if any (listeners told, graph kept), and expects a
// header again.
void finishControlGraph();

// The reading state: whether the next "CTLG" line is a header, the open graph
// (unset when none), and every finished graph in finishing order.
bool &newGraphExpected();
P_CountedPtr<P_ControlGraph> &currentControlGraph();
std::vector<P_CountedPtr<P_ControlGraph>> &controlGraphs();
