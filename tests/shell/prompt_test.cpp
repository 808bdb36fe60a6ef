// The prompt line: its kinds of question, its keys, and how it closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/prompt.h"
#include "tests/support/headless.h"

namespace {

struct Call {
  int code;
  intptr_t aux;
  std::string reply;
};
std::vector<Call> calls;

void record(EditorState* V, int code, intptr_t aux) { calls.push_back({code, aux, V->reply}); }

// An option routine in the manner of the search options: each key flips
// its letter in a fixed field kept in the reply.
void options(EditorState* V, int code, intptr_t aux) {
  calls.push_back({code, aux, V->reply});
  if (code == 8 && aux >= 'a' && aux <= 'z') {
    const int at = int(aux - 'a');
    if (at < 10) V->reply[at] = V->reply[at] == ' ' ? char(aux - 'a' + 'A') : ' ';
  }
}

class PromptLine : public ::testing::Test {
 protected:
  void SetUp() override { calls.clear(); }

  void key(int code) { HandleKey(e.V(), code, 0, 0); }
  void cmdKey(int n) { key(CMD_BASE + n); }
  void type(const std::string& s) {
    static ActiveLine chars;
    vt::FromUtf8(&chars, s);
    for (int i = 0; i < chars.count; i++) key(int(chars.c[i]));
  }
  std::string answer() {
    std::string s;
    for (const tchar* p = e->promptLine + e->promptAnswer; *p; p++) {
      uint8_t b[4];
      s.append(reinterpret_cast<char*>(b), size_t(utf8(b, 0, *p)));
    }
    return s;
  }
  std::string message() {
    std::string s;
    for (int i = 0; i < e->promptAnswer - 1; i++) s += char(e->promptLine[i]);
    return s;
  }
  int cursor() { return e->promptCursor ? e->promptCursor - e->promptAnswer : -1; }

  vt::Editor e;
};

TEST_F(PromptLine, OpeningShowsTheMessageASpaceAndThePreset) {
  char name[kNameMax] = "notes.txt";
  e->singleView = 0;
  Prompt(e.V(), kPromptFileName, "Save file:", name, 7, 42, record);
  EXPECT_EQ(e->inputMode, ModePrompt);
  EXPECT_EQ(message(), "Save file:");
  EXPECT_EQ(e->promptLine[e->promptAnswer - 1], tchar(' '));
  EXPECT_EQ(answer(), "notes.txt");
  EXPECT_EQ(std::string(e->reply), "notes.txt");
  EXPECT_EQ(e->promptCursor, 0) << "no cursor before the first key";
  EXPECT_EQ(PromptType(e.V()), kPromptFileName);

  cmdKey(cmd::NewLine);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].code, 7);
  EXPECT_EQ(calls[0].aux, 42);
  EXPECT_EQ(calls[0].reply, "notes.txt");
  EXPECT_EQ(e->inputMode, ModeEdit);
  EXPECT_EQ(e->singleView, 0);
  EXPECT_EQ(PromptType(e.V()), 0);
}

TEST_F(PromptLine, NumberPromptTakesDigitsBelowAMillion) {
  Prompt(e.V(), kPromptNumber, "Goto line:", nullptr, 1, 0, record);
  type("1a2b3c4567");
  EXPECT_EQ(e->promptNumber, 123456) << "the seventh digit would pass the limit";
  EXPECT_EQ(std::string(e->reply), "123456");
  cmdKey(cmd::Backspace);
  EXPECT_EQ(e->promptNumber, 12345);
  EXPECT_EQ(std::string(e->reply), " 12345");
  EXPECT_EQ(answer(), " 12345");
  cmdKey(cmd::NewLine);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(e->promptNumber, 12345);
}

TEST_F(PromptLine, NumberBackspaceOnOneDigitGivesZero) {
  Prompt(e.V(), kPromptNumber, "Goto line:", nullptr, 1, 0, record);
  type("5");
  cmdKey(cmd::Backspace);
  EXPECT_EQ(e->promptNumber, 0);
  EXPECT_EQ(std::string(e->reply), "     0");
}

TEST_F(PromptLine, TypingReplacesThePresetAndRightFirstAppends) {
  char name[kNameMax] = "old.txt";
  Prompt(e.V(), kPromptFileName, "Save file:", name, 2, 0, record);
  type("n");
  EXPECT_EQ(answer(), "n");
  EXPECT_EQ(cursor(), 1);

  char name2[kNameMax] = "old.txt";
  Prompt(e.V(), kPromptFileName, "Save file:", name2, 2, 0, record);
  cmdKey(cmd::OneRight);
  EXPECT_EQ(cursor(), 7);
  type(".bak");
  EXPECT_EQ(answer(), "old.txt.bak");
  cmdKey(cmd::NewLine);
  EXPECT_EQ(std::string(name2), "old.txt.bak") << "the caller's buffer receives the answer";
  EXPECT_EQ(calls.back().reply, "old.txt.bak");
}

TEST_F(PromptLine, FileNamePromptTypesOnlyFileNameCharacters) {
  Prompt(e.V(), kPromptFileName, "Open file:", nullptr, 2, 0, record);
  type("a b*c?d");
  EXPECT_EQ(answer(), "abcd");
  type("@~-._/Z9");
  EXPECT_EQ(answer(), "abcd@~-._/Z9");

  Prompt(e.V(), kPromptText, "Fill with:", nullptr, 2, 0, record);
  type("a b*");
  EXPECT_EQ(answer(), "a b*") << "a free-text prompt takes any character";
}

TEST_F(PromptLine, TheAnswerHoldsAtMostSixtyCharacters) {
  Prompt(e.V(), kPromptText, "Fill with:", nullptr, 2, 0, record);
  type(std::string(70, 'x'));
  EXPECT_EQ(answer(), std::string(60, 'x'));
  // Not even in the middle.
  cmdKey(cmd::OneLeft);
  type("y");
  EXPECT_EQ(answer(), std::string(60, 'x'));
}

TEST_F(PromptLine, BackspaceAndDelInTheMiddleAndAtTheEnd) {
  Prompt(e.V(), kPromptText, "Fill with:", nullptr, 2, 0, record);
  type("abcdef");
  for (int i = 0; i < 3; i++) cmdKey(cmd::OneLeft);
  EXPECT_EQ(cursor(), 3);
  cmdKey(cmd::Backspace);
  EXPECT_EQ(answer(), "abdef");
  EXPECT_EQ(cursor(), 2);
  cmdKey(cmd::DelChr);
  EXPECT_EQ(answer(), "abef");
  EXPECT_EQ(cursor(), 2);
  for (int i = 0; i < 5; i++) cmdKey(cmd::OneRight);
  EXPECT_EQ(cursor(), 4) << "Right stops at the end";
  cmdKey(cmd::DelChr);
  EXPECT_EQ(answer(), "abe") << "Del at the end deletes the last character";
  for (int i = 0; i < 5; i++) cmdKey(cmd::OneLeft);
  EXPECT_EQ(cursor(), 0);
  cmdKey(cmd::Backspace);
  EXPECT_EQ(answer(), "abe") << "nothing before the cursor";
}

TEST_F(PromptLine, BackspaceMovesAFullAnswerLeft) {
  Prompt(e.V(), kPromptText, "Fill with:", nullptr, 2, 0, record);
  std::string s;
  for (int i = 0; i < 60; i++) s += char('a' + i % 26);
  type(s);
  for (int i = 0; i < 50; i++) cmdKey(cmd::OneLeft);
  cmdKey(cmd::Backspace);
  EXPECT_EQ(answer(), s.substr(0, 9) + s.substr(10));
}

TEST_F(PromptLine, EnterHandsBackTheAnswerAsUtf8) {
  char buf[kNameMax] = "";
  Prompt(e.V(), kPromptText, "Fill with:", buf, 2, 0, record);
  type("é€𝄞");
  cmdKey(cmd::NewLine);
  EXPECT_EQ(std::string(buf), "é€𝄞");
  EXPECT_EQ(calls.back().reply, "é€𝄞");
}

TEST_F(PromptLine, UpCopiesTheWordAtTheTextCursor) {
  e.open("alpha beta,gamma\n");
  e.cur()->col = 8;  // inside "beta"
  Prompt(e.V(), kPromptText, "Search:", nullptr, 2, 0, record);
  cmdKey(cmd::OneUp);
  EXPECT_EQ(answer(), "beta");
  EXPECT_EQ(cursor(), 4);
  EXPECT_FALSE(e.modified());
  // Just behind a word takes that word.
  e.cur()->col = 5;
  cmdKey(cmd::OneUp);
  EXPECT_EQ(answer(), "alpha");
  // On a blank between nothing: no word, the answer stays.
  e.open("a   b\n");
  e.cur()->col = 3;
  Prompt(e.V(), kPromptText, "Search:", nullptr, 2, 0, record);
  type("x");
  cmdKey(cmd::OneUp);
  EXPECT_EQ(answer(), "x");
}

TEST_F(PromptLine, EscAbandonsWithoutCallingAndRestoresTheLayout) {
  e->singleView = 0;
  char name[kNameMax] = "keep.txt";
  Prompt(e.V(), kPromptFileName, "Save file:", name, 2, 0, record);
  e->singleView = 1;  // as a browser would have left it
  type("other");
  key(27);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(e->inputMode, ModeEdit);
  EXPECT_EQ(e->singleView, 0);
  EXPECT_EQ(std::string(name), "keep.txt") << "the caller's buffer is untouched";
}

TEST_F(PromptLine, YesNoAnswersWithTheLoweredKeyAndEscIsAnAnswer) {
  Prompt(e.V(), kPromptKey, "Discard text [Y/N]:", nullptr, 4, 0, record);
  type("Y");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].reply, "y");
  EXPECT_EQ(calls[0].code, 4);
  EXPECT_EQ(e->inputMode, ModeEdit);

  Prompt(e.V(), kPromptKey, "Discard text [Y/N]:", nullptr, 4, 0, record);
  key(27);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].reply, "\x1b");
}

TEST_F(PromptLine, OnlyTheLetterYAnswersYes) {
  // A command whose number has the low byte of 'y', and a character whose
  // low byte is 'y', must not confirm a question that loses data.
  ASSERT_EQ(cmd::TogglePointing & 0xff, int('y'));
  Prompt(e.V(), kPromptKey, "Discard text [Y/N]:", nullptr, 4, 0, record);
  cmdKey(cmd::TogglePointing);
  Prompt(e.V(), kPromptKey, "Discard text [Y/N]:", nullptr, 4, 0, record);
  key(0x179);
  Prompt(e.V(), kPromptKey, "Discard text [Y/N]:", nullptr, 4, 0, record);
  cmdKey(cmd::NewLine);
  ASSERT_EQ(calls.size(), 3u);
  for (const Call& c : calls) EXPECT_NE(c.reply[0], 'y');
  EXPECT_EQ(e->toggles & TGL_POINTING, 0u) << "the key reached the prompt, not the dispatcher";
}

TEST_F(PromptLine, ASingleKeyPromptShowsAPresetWithoutTakingIt) {
  char name[kNameMax] = "draft.txt";
  Prompt(e.V(), kPromptKey, "Discard text [Y/N]:", name, 4, 0, record);
  EXPECT_EQ(answer(), "draft.txt");
  type("n");
  EXPECT_EQ(std::string(name), "draft.txt");
  EXPECT_EQ(calls.back().reply, "n");
}

TEST_F(PromptLine, NoEditPromptTakesOnlyEnterAndEsc) {
  Prompt(e.V(), kPromptNoEdit, "Done", nullptr, 3, 0, record);
  type("abc");
  cmdKey(cmd::Backspace);
  EXPECT_EQ(answer(), "");
  EXPECT_EQ(e->inputMode, ModePrompt);
  cmdKey(cmd::NewLine);
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(PromptLine, CommandKeysAreNeverTypedAsCharacters) {
  Prompt(e.V(), kPromptText, "Fill with:", nullptr, 2, 0, record);
  type("ab");
  for (int n : {cmd::PasteFromBuf, cmd::WordLeft, cmd::PageDown, cmd::Undo}) cmdKey(n);
  EXPECT_EQ(answer(), "ab");
  key(-1);
  EXPECT_EQ(answer(), "ab");
}

TEST_F(PromptLine, OptionKeysGoToTheRoutineAndShowTheNewField) {
  char field[kNameMax] = "          ";
  Prompt(e.V(), kPromptOptions, "Options:", field, 7, 5, options);
  type("I");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].code, 8);
  EXPECT_EQ(calls[0].aux, intptr_t('i')) << "letters are lowered";
  EXPECT_EQ(answer(), "        I ");
  EXPECT_EQ(e->inputMode, ModePrompt);
  type("ai");
  EXPECT_EQ(answer(), "A         ");
  cmdKey(cmd::NewLine);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[3].code, 7);
  EXPECT_EQ(calls[3].aux, 5);
  EXPECT_EQ(std::string(field), "A         ");
}

TEST_F(PromptLine, ARoutineMayAskTheNextQuestion) {
  static char second[kNameMax];
  second[0] = 0;
  Prompt(e.V(), kPromptKey, "First?", nullptr, 1, 0, [](EditorState* V, int, intptr_t) {
    Prompt(V, kPromptText, "Second:", second, 2, 0, record);
  });
  type("y");
  EXPECT_EQ(e->inputMode, ModePrompt);
  EXPECT_EQ(message(), "Second:");
  type("z");
  cmdKey(cmd::NewLine);
  EXPECT_EQ(std::string(second), "z");
  EXPECT_EQ(e->inputMode, ModeEdit);
}

TEST_F(PromptLine, APresetTooLongToShowComesBackWhole) {
  char name[kNameMax];
  std::string longName(240, 'n');
  longName += ".txt";
  CopyCut(name, sizeof name, longName.c_str());
  Prompt(e.V(), kPromptFileName, "Save & exit:", name, 2, 0, record);
  EXPECT_LT(answer().size(), longName.size()) << "the line has no room for it";
  cmdKey(cmd::NewLine);
  EXPECT_EQ(std::string(name), longName);
  EXPECT_EQ(calls.back().reply, longName);
}

TEST_F(PromptLine, KeysWithNoQuestionOpenGoBackToTheText) {
  e->inputMode = ModePrompt;  // as if left behind
  Prompt(e.V(), kPromptKey, "Q?", nullptr, 1, 0, record);
  type("n");
  e->inputMode = ModePrompt;
  type("x");
  EXPECT_EQ(e->inputMode, ModeEdit);
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(PromptLine, ALongMessageStillLeavesRoomForTheAnswer) {
  const std::string msg(300, 'm');
  Prompt(e.V(), kPromptText, msg.c_str(), nullptr, 2, 0, record);
  type(std::string(60, 'a'));
  EXPECT_EQ(answer(), std::string(60, 'a'));
  EXPECT_EQ(e->promptLine[255], 0u);
}

}  // namespace
