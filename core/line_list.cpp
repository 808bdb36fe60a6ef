// Operations on circular line lists.
#include <cstring>

#include "core/editor_state.h"

namespace {
void markModified(EditorState* V) {
  if (V->curTcb) V->curTcb->modified = 1;
}
}  // namespace

Link* NewBaseLink(EditorState* V) {
  Link* b = NewLink(V, 0);
  if (!b) return nullptr;
  b->word = LINK_BASE;
  b->setNext(b);
  b->setPrev(b);
  b->setWidth(0);
  return b;
}

Link* AddLink(EditorState* V, Link* after, uint16_t word) {
  Link* l = NewLink(V, word & LINK_LENMASK);
  if (!l) return nullptr;
  Link* next = after->next();
  l->word = word;
  l->setPrev(after);
  l->setNext(next);
  next->setPrev(l);
  after->setNext(l);
  ViewsLineAdded(V, l);
  return l;
}

Link* AddEmptyLine(EditorState* V, Link* after) { return AddLink(V, after, 0); }

Link* AddUtfLine(EditorState* V, Link* after, const Link* src) {
  return AddBytesLine(V, after, src->word, src->data());
}

Link* AddBytesLine(EditorState* V, Link* after, uint16_t word, const uint8_t* bytes) {
  Link* l = AddLink(V, after, word);
  if (l) std::memcpy(l->data(), bytes, word & LINK_LENMASK);
  return l;
}

Link* ResizeLink(EditorState* V, Link* link, int len) {
  if (LinkClass(len) == LinkClass(link->word)) return link;
  Link* n = NewLink(V, len);
  if (!n) return nullptr;
  Link* next = link->next();
  Link* prev = link->prev();
  n->setNext(next);
  n->setPrev(prev);
  prev->setNext(n);
  next->setPrev(n);
  ViewsLineResized(V, link, n);
  ReleaseLink(V, link);
  return n;
}

Link* DeleteLink(EditorState* V, Link* link) {
  ViewsLineRemoving(V, link);
  Link* next = link->next();
  BindLink(link->prev(), next);
  ReleaseLink(V, link);
  markModified(V);
  return next;
}

Link* PullLink(EditorState* V, Link** cursor) {
  Link* l = *cursor;
  ViewsLineRemoving(V, l);
  *cursor = l->next();
  BindLink(l->prev(), *cursor);
  markModified(V);
  return l;
}

void InsertLink(EditorState* V, Link** cursor, Link* link) {
  Link* after = *cursor;
  Link* next = after->next();
  link->setPrev(after);
  link->setNext(next);
  next->setPrev(link);
  after->setNext(link);
  *cursor = link;
  ViewsLineAdded(V, link);
  markModified(V);
}

void BindLink(Link* a, Link* b) {
  a->setNext(b);
  b->setPrev(a);
}

void SwapLines(Link* link) {
  Link* other = link->next();
  Link* before = link->prev();
  Link* after = other->next();
  BindLink(before, other);
  BindLink(other, link);
  BindLink(link, after);
}

void ReleaseText(EditorState* V, Link* base) {
  if (!base) return;
  if (!IsBase(base)) {
    FatalError(V);
    return;
  }
  Link* l = base->next();
  while (l != base) {
    Link* next = l->next();
    ReleaseLink(V, l);
    l = next;
  }
  ReleaseLink(V, base);
}

int CountLines(const Link* base) {
  int n = 0;
  for (const Link* l = base->next(); l != base; l = l->next()) n++;
  return n;
}
