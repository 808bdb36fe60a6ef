// A fully initialised editor without a display, for tests.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/editor_state.h"

namespace vt {

class Editor {
 public:
  // InitEditor, an 800 x 600 window of 8 x 16 cells, and the empty scratch
  // text, as after start-up.
  Editor();
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  EditorState* V() { return v_.get(); }
  EditorState* operator->() { return v_.get(); }
  Tcb* cur() { return v_->curTcb; }

  // Opens a text holding `text` (UTF-8, lines split at '\n'; a final '\n'
  // adds no empty line) as if read from the file `name`.
  Tcb* open(std::string_view text, const char* name = "test.txt", uint32_t encoding = MODE_UTF8);

  // The current text's lines as the user sees them (TABs expanded, the
  // unflushed cursor line included), UTF-8 encoded.
  std::vector<std::string> lines();
  std::string line(int n);  // 1-based
  std::string text();       // lines joined with '\n'
  int lineCount();
  std::string alert() const { return v_->alertText; }
  int col() { return v_->curTcb->col; }
  int lineNo() { return v_->curTcb->lineNo; }
  bool modified() { return TextModified(v_.get(), v_->curTcb); }

 private:
  std::unique_ptr<EditorState> v_;
};

// Helpers on the line store.
std::string ToUtf8(const ActiveLine& line);
void FromUtf8(ActiveLine* line, std::string_view s);
std::string Stored(const Link* l);  // the stored bytes as they are
// Checks the list headed by base: links agree both ways and the base is
// reached.  Returns an empty string when sound, else what is wrong.
std::string CheckList(const Link* base);

}  // namespace vt
