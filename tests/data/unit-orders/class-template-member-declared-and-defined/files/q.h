template <typename E> class Queue {
 public:
  void Clear() { head_ = tail_; }
  E *Front() { return head_; }
 private:
  E *head_, *tail_;
};
