// Keeping every view, the block and the marked position on their lines
// while a tool inserts or deletes lines of whole texts (not only next to
// the cursor): the positions are held as Links and numbered again after.
#pragma once

#include <vector>

struct EditorState;
struct Link;
struct Tcb;

class LineAnchors {
 public:
  // Takes the positions that lie in the texts of `bases`.  The cursor line
  // must be flushed first.
  LineAnchors(EditorState* V, std::vector<Link*> bases);
  // Before `l` is deleted: positions on it move to the next line that is
  // not going (`going` tells), or to the end of the text.
  template <class Going>
  void leave(const Link* l, Going going) {
    for (Anchor& a : anchors_)
      if (a.link == l) {
        Link* n = next(a.link);
        while (!isBase(n) && going(n)) n = next(n);
        a.link = n;
      }
  }
  // Numbers every position again; views keep their screen row where the
  // line allows it.
  void renumber();

 private:
  enum Kind { View, BlockStart, BlockEnd, Mark };
  struct Anchor {
    Kind kind;
    Tcb* view;
    Link* base;
    Link* link;
  };
  static Link* next(const Link* l);
  static bool isBase(const Link* l);
  EditorState* V_;
  std::vector<Link*> bases_;
  std::vector<Anchor> anchors_;
};
