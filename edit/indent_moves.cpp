// Moves to the nearest line, up or down, indented like the cursor line.
#include "core/editor_state.h"
#include "edit/move_parts.h"
#include "edit/movement.h"
#include "edit/traverse.h"

namespace {

constexpr int kIndentDown = TRAV_FROM_CURSOR | 0x01;
constexpr int kIndentUp = TRAV_BACKWARDS | TRAV_FROM_CURSOR | 0x01;

struct IndentWalk {
  int first;  // the next line visited is the cursor line
  int indent;
};

}  // namespace

int DoIndentMatch(EditorState* V, ActiveLine* line, int, int, void* arg) {
  auto* w = static_cast<IndentWalk*>(arg);
  const int lol = findLOL(line);
  if (w->first) {
    w->indent = lol;
    w->first = 0;
    return 0;
  }
  // Lines holding nothing but blanks are empty to the eye: passed over.
  if (lol >= line->count) return 0;
  if (lol == w->indent) {
    SetALineQuick(V, V->travLink, V->travLine);
    V->travStop = 1;
  }
  return 0;
}

void IndentMove(EditorState* V, bool backwards) {
  IndentWalk w{1, 0};
  // The walk flushes the cursor line first; a match loads the new one.
  Traverse(V, backwards ? kIndentUp : kIndentDown, DoIndentMatch, &w);
}
