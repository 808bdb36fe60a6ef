// The colour, font and key dialogues driven by raw key presses through the
// same steps as the event loop, without a display; what they draw is read
// from the dialogue sink.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "config/color_dialog.h"
#include "config/colors.h"
#include "config/dialog_window.h"
#include "config/font_dialog.h"
#include "config/key_dialog.h"
#include "config/key_edit.h"
#include "config/fonts.h"
#include "display/glyph_renderer.h"
#include "display/screen.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_names.h"
#include "shell/key_press.h"
#include "shell/key_table.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr const char* kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    getDefColors(e.V(), co.data());
    setColors();
    fontsInit();
    ResetKeyTable();
    SetDialogSink([this](const DialogDraw& d) { drawn.push_back(d); });
  }
  void TearDown() override {
    SetDialogSink({});
    if (ColorDialogOpen()) run(cmd::CmdNo("ColorConfig"));
    if (FontDialogOpen()) run(cmd::CmdNo("FontConfig"));
    if (KeyDialogOpen()) run(cmd::CmdNo("KeyConfig"));
    ResetKeyTable();
  }
  void run(int n) { DoCommand(e.V(), &n); }
  // A key by name; `typed` is what the input method makes of it (-1 none).
  void press(const char* name, int typed = -1, int times = 1) {
    int keycode = 0;
    unsigned state = 0;
    ASSERT_TRUE(ParseKeyName(name, &keycode, &state)) << name;
    for (int i = 0; i < times; i++) PressKey(e.V(), unsigned(keycode), state, [&] { return typed; });
  }
  void type(const std::string& utf8) {
    const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
    for (size_t i = 0; i < utf8.size();) {
      int len = 1;
      const int c = int(uni8(p + i, int(utf8.size() - i), &len));
      i += size_t(len);
      HandleKey(e.V(), c, 0, 0);
    }
  }
  // The last text drawn starting at (x, y), or null.
  const DialogDraw* textAt(int x, int y) const {
    for (auto it = drawn.rbegin(); it != drawn.rend(); ++it)
      if (it->kind == DialogDraw::Text && it->x == x && it->y == y) return &*it;
    return nullptr;
  }
  std::string textOf(int x, int y) const {
    const DialogDraw* d = textAt(x, y);
    return d ? d->text : "<nothing>";
  }
  int pairOf(int x, int y) const {
    const DialogDraw* d = textAt(x, y);
    return d ? d->pair : -1;
  }
  int mode() { return e->inputMode; }
  void selectRole(int role) {
    press("Up", -1, 30);
    press("Down", -1, role);
  }

  vt::Editor e;
  std::vector<DialogDraw> drawn;
};

// ---- Colour dialogue -------------------------------------------------------

using ColorDialog = DialogTest;


TEST_F(ColorDialog, PreviewRolesAndAdjusterAreWhereAndInThePairsTheyShow) {
  run(cmd::CmdNo("ColorConfig"));
  ASSERT_EQ(mode(), ModeColorConfig);
  const struct {
    const char* text;
    int x, y, pair;
  } expect[] = {
      {" Status line ", 5, 20, 11},   {" Tab line ", 5, 50, 8},        {"Prompt: text", 5, 80, 10},
      {"Messages", 5, 110, 2},        {"Hilite", 5, 140, 9},           {"Marked text", 5, 170, 6},
      {"Menu text", 5, 200, 12},      {"Menu selected", 5, 230, 13},   {"Black text", 5, 260, 0},
      {"Red text", 5, 290, 1},        {"Standard text", 180, 20, 14},  {"Cursor Char", 180, 50, 3},
      {"Blank cursor", 180, 80, 3},   {"Reserved words", 180, 110, 16}, {"Keywords", 180, 140, 17},
      {"\"string\"", 180, 170, 18},   {"'L''i''t''t'", 180, 200, 19},  {"numeral 12345", 180, 230, 20},
      {"#preproc.", 180, 260, 21},    {"//comment", 180, 290, 15},
      {"   Up/Down select item", 25, 328, 1}, {"     Enter set color", 25, 346, 1},
      {"Left/Right adjust RGB", 25, 364, 1},  {"     Space select RGB", 25, 382, 1},
  };
  for (const auto& x : expect) {
    EXPECT_EQ(textOf(x.x, x.y), x.text);
    EXPECT_EQ(pairOf(x.x, x.y), x.pair) << x.text;
  }
  // The cursor samples: the eighth character of "Cursor Char" and the sixth
  // (the blank) of "Blank cursor", one menu cell each.
  const int cw = DialogCellWidth();
  EXPECT_EQ(textOf(180 + 7 * cw, 50), "C");
  EXPECT_EQ(pairOf(180 + 7 * cw, 50), 4);
  EXPECT_EQ(textOf(180 + 5 * cw, 80), " ");
  EXPECT_EQ(pairOf(180 + 5 * cw, 80), 5);
  // Roles in two columns, the first selected.
  EXPECT_EQ(textOf(350, 20), "Status");
  EXPECT_EQ(textOf(350, 20 + 13 * 16), "RedText");
  EXPECT_EQ(textOf(475, 20), "Background");
  EXPECT_EQ(textOf(475, 20 + 12 * 16), "Comment%");
  // The adjuster: its square, the line over the bars, a black triangle only
  // under the channel adjusted.
  bool square = false, topLine = false;
  int black = 0, white = 0;
  for (const DialogDraw& d : drawn) {
    square |= d.kind == DialogDraw::Fill && d.x == 440 && d.y == 310 && d.x2 == 40 && d.y2 == 40;
    topLine |= d.kind == DialogDraw::Line && d.x == 395 && d.y == 286 && d.x2 == 425 && d.y2 == 286;
  }
  drawn.clear();
  press("R", 'r');
  for (const DialogDraw& d : drawn) {
    if (d.kind != DialogDraw::Triangle) continue;
    EXPECT_EQ(d.y, 360);
    EXPECT_EQ(d.y2, 370);
    EXPECT_EQ(d.x2, 2);
    if (d.colour == 0) {
      black++;
      EXPECT_EQ(d.x, 400) << "red is the bar at 400";
    } else {
      white++;
    }
  }
  EXPECT_TRUE(square);
  EXPECT_TRUE(topLine);
  EXPECT_EQ(black, 1);
  EXPECT_EQ(white, 2);
  press("Esc", 27);
  EXPECT_EQ(mode(), ModeEdit);
  EXPECT_FALSE(ColorDialogOpen());
}

TEST_F(ColorDialog, ChannelsStepByFourAndWrapWithinTheirByte) {
  run(cmd::CmdNo("ColorConfig"));
  selectRole(COLOR_BACKGROUND);  // white
  press("P", 'p');
  ASSERT_EQ(ColorAdjuster() & 0xffffff, 0xffffffu);
  press("G", 'g');
  press("Rght", -1);
  EXPECT_EQ(ColorAdjuster() & 0xffffff, 0xff03ffu) << "255 + 4 wraps to 3, green only";
  press("Left", -1, 2);
  EXPECT_EQ(ColorAdjuster() & 0xffffff, 0xfffbffu);
  // Insert takes the role's colour like P; 64 steps of 4 bring a channel
  // round to where it was.
  selectRole(COLOR_STATUS);  // black
  press("Ins");
  press("B", 'b');
  press("Rght", -1, 64);
  EXPECT_EQ(ColorAdjuster() & 0xffffff, 0u);
  press("Rght", -1);
  EXPECT_EQ(ColorAdjuster() & 0xffffff, 4u);
  // Space walks red, green, blue, red.
  press("R", 'r');
  EXPECT_EQ(ColorChannel(), 2);
  press("Sp", ' ');
  EXPECT_EQ(ColorChannel(), 1);
  press("Sp", ' ');
  EXPECT_EQ(ColorChannel(), 0);
  press("Sp", ' ');
  EXPECT_EQ(ColorChannel(), 2);
  // A modifier key alone and keys without a meaning here change nothing.
  const uint32_t before = ColorAdjuster();
  PressKey(e.V(), 50, 0, [] { return -1; });  // Shift
  press("X", 'x');
  press("F5");
  EXPECT_EQ(ColorAdjuster(), before);
  EXPECT_EQ(mode(), ModeColorConfig);
}

TEST_F(ColorDialog, EnterSetsTheRoleAndTheEditorShowsItAtOnceAndBackSpaceRestoresIt) {
  run(cmd::CmdNo("ColorConfig"));
  selectRole(COLOR_HILITE);
  ASSERT_EQ(ColorSelected(), COLOR_HILITE);
  EXPECT_EQ(pairOf(350, 20 + 6 * 16), 13) << "the selected role is marked";
  EXPECT_EQ(pairOf(350, 20 + 5 * 16), 12);
  press("Ins");
  press("R", 'r');
  press("Left", -1, 4);  // 0xff - 16
  press("Ent");
  EXPECT_EQ(co[COLOR_HILITE], 0x00efff00u);
  EXPECT_EQ(S.pairs[9][0], 0xefff00u) << "the search highlight takes it before the dialogue closes";
  EXPECT_NE(e->redraw & REDRAW_ALL, 0) << "the editor is repainted in it";
  press("BkSp");
  EXPECT_EQ(co[COLOR_HILITE], 0x00ffff00u);
  EXPECT_EQ(S.pairs[9][0], 0xffff00u);
  // Delete does the same; the top byte of a role is kept as it was.
  selectRole(COLOR_STATUSBKG);
  press("Ent");
  EXPECT_EQ(co[COLOR_STATUSBKG], ColorAdjuster());
  press("Del");
  EXPECT_EQ(co[COLOR_STATUSBKG], 0xffb0dc1cu);
  EXPECT_EQ(S.pairs[11][1], 0xb0dc1cu);
}

TEST_F(ColorDialog, OnlyChangesAboveTheLowTwoBitsAreSaved) {
  run(cmd::CmdNo("ColorConfig"));
  // BlackText (0xff000000) set to MenuMark's 0x00000000: only the top byte
  // differs, which is never drawn.
  selectRole(COLOR_MENUMARK);
  press("P", 'p');
  press("Down", -1, 2);
  press("Ent");
  ASSERT_EQ(co[COLOR_BLACKTEXT], 0u);
  std::string out;
  saveColors(out);
  EXPECT_EQ(out, "");
  // One step of 4 is a difference, written without the low bits.
  press("B", 'b');
  press("Rght");
  press("Ent");
  out.clear();
  saveColors(out);
  EXPECT_EQ(out, " Color BlackText 0xff000004\n");
}

TEST_F(ColorDialog, SelectionStopsAtBothEndsOfTheList) {
  run(cmd::CmdNo("ColorConfig"));
  selectRole(0);
  press("Up");
  EXPECT_EQ(ColorSelected(), 0);
  press("Down", -1, 40);
  EXPECT_EQ(ColorSelected(), kColorRoles - 1);
  EXPECT_EQ(pairOf(475, 20 + 12 * 16), 13);
  // The adjuster keeps its value across closing and opening.
  press("Ins");
  const uint32_t kept = ColorAdjuster();
  press("Esc", 27);
  run(cmd::CmdNo("ColorConfig"));
  EXPECT_EQ(ColorAdjuster(), kept);
  EXPECT_EQ(ColorSelected(), kColorRoles - 1);
}

// ---- Font dialogue ----------------------------------------------------------

using FontDialog = DialogTest;

int rowY(int a) { return DialogAscent() + 25 + 25 * a; }

TEST_F(FontDialog, ItemsNumbersAndHintsAsDrawn) {
  run(cmd::CmdNo("FontConfig"));
  ASSERT_EQ(mode(), ModeFontConfig);
  press("Up", -1, 10);
  EXPECT_EQ(textOf(10, rowY(0)), "MenuFont");
  EXPECT_EQ(pairOf(10, rowY(0)), 13);
  EXPECT_EQ(textOf(10, rowY(8)), "TextLineSpace");
  EXPECT_EQ(pairOf(10, rowY(8)), 12);
  const int cw = DialogCellWidth();
  // The selected text shows its edit position in the selected colours.
  EXPECT_EQ(textOf(10 + 8 * cw + 10, rowY(0)), ":  ");
  EXPECT_EQ(textOf(10 + 8 * cw + 10 + 3 * cw, rowY(0)), ":");
  EXPECT_EQ(pairOf(10 + 8 * cw + 10 + 3 * cw, rowY(0)), 13);
  EXPECT_EQ(textOf(10 + 8 * cw + 10 + 4 * cw, rowY(0)), "Mono:Courier ");
  EXPECT_EQ(textOf(10 + 8 * cw + 10, rowY(3)), ":  :Mono:Courier ");
  EXPECT_EQ(textOf(10 + 8 * cw + 10, rowY(2)), "  18");
  EXPECT_EQ(textOf(250, 180), "Numerics: Adjust with Left/Righr arrows");
  EXPECT_EQ(textOf(250, 210), "File name: Enter for selection list");
  EXPECT_EQ(textOf(250, 240), "Commit changes with space bar");
  EXPECT_EQ(pairOf(250, 240), 1);
  // Up and Down stop at the first and last item.
  press("Up");
  EXPECT_EQ(FontSelected(), 0);
  press("Down", -1, 12);
  EXPECT_EQ(FontSelected(), 8);
  press("Esc", 27);
  EXPECT_EQ(mode(), ModeEdit);
  EXPECT_FALSE(FontDialogOpen());
}

TEST_F(FontDialog, NumbersStayWithinTheirRanges) {
  run(cmd::CmdNo("FontConfig"));
  press("Up", -1, 10);
  press("Down", -1, 2);  // MenuSize
  press("Rght", -1, 40);
  EXPECT_EQ(fontData.menuSize, 50);
  press("Left", -1, 60);
  EXPECT_EQ(fontData.menuSize, 1) << "a font of no pixels would leave nothing readable";
  press("Down", -1, 3);  // TextSize, then on to TextWidth
  press("Down");
  press("Left");
  EXPECT_EQ(fontData.textWidth, 0) << "0: the font's own advance";
  press("Rght", -1, 60);
  EXPECT_EQ(fontData.textWidth, 50);
  press("Left", -1, 47);
  EXPECT_EQ(fontData.textWidth, 3);
  // Typing on a number changes nothing.
  type("7");
  EXPECT_EQ(fontData.textWidth, 3);
  EXPECT_EQ(fontData.textSize, 18);
}

TEST_F(FontDialog, TextsAreEditedByCharacterAndStopAt127Bytes) {
  run(cmd::CmdNo("FontConfig"));
  press("Up", -1, 10);
  press("Down", -1, 3);  // TextFont ":Mono:Courier"
  press("Rght", -1, 5);
  EXPECT_EQ(FontEditPos(), 5);
  type("é→");
  EXPECT_EQ(std::string(fontData.textFont), ":Monoé→:Courier") << "kept as UTF-8";
  EXPECT_EQ(FontEditPos(), 5 + 2 + 3);
  press("Left");
  EXPECT_EQ(FontEditPos(), 7) << "over the whole arrow";
  press("BkSp");
  EXPECT_EQ(std::string(fontData.textFont), ":Mono→:Courier");
  EXPECT_EQ(FontEditPos(), 5);
  // Control characters never enter a name; Right stops at the end.
  type("\x01\x7f");
  press("Rght", -1, 40);
  EXPECT_EQ(FontEditPos(), int(std::strlen(fontData.textFont)));
  // Filling the item: bytes stop at 127, and a character that does not fit
  // whole is not split.
  type(std::string(200, 'x'));
  EXPECT_EQ(std::strlen(fontData.textFont), 127u);
  EXPECT_EQ(FontNote(), "Font text full");
  press("BkSp");
  type("é");
  EXPECT_EQ(std::strlen(fontData.textFont), 126u);
  EXPECT_EQ(fontData.textFont[125], 'x') << "the two bytes of é do not fit";
  // Up and Down put the edit position back at the start.
  press("Down");
  press("Up");
  EXPECT_EQ(FontEditPos(), 0);
  press("BkSp");
  EXPECT_EQ(std::strlen(fontData.textFont), 126u) << "nothing before the start";
}

TEST_F(FontDialog, FileListPicksAFileAndEscLeavesTheItem) {
  run(cmd::CmdNo("FontConfig"));
  press("Up", -1, 10);
  press("Ent");
  EXPECT_FALSE(FontListShown()) << "MenuFont is no file item";
  press("Down");  // MenuFontFile
  std::snprintf(fontData.menuFontFile, kFontItemSize, "before.ttf");
  press("Ent");
  ASSERT_TRUE(FontListShown());
  if (FontListCount() == 0) {
    EXPECT_EQ(FontNote(), "No font files found");
    press("Ent");
    EXPECT_STREQ(fontData.menuFontFile, "before.ttf");
    GTEST_SKIP() << "fontconfig lists no fonts here";
  }
  // Nine rows from y 25; the first entry selected.
  EXPECT_EQ(pairOf(10, 25), 13);
  press("Esc", 27);
  EXPECT_FALSE(FontListShown());
  EXPECT_EQ(mode(), ModeFontConfig) << "Esc closes only the list";
  EXPECT_STREQ(fontData.menuFontFile, "before.ttf");
  press("Ent");
  const int n = FontListCount();
  press("Down", -1, 10);
  EXPECT_EQ(FontListSelected(), std::min(10, n - 1));
  EXPECT_EQ(FontListTop(), std::max(0, FontListSelected() - 8)) << "the selection is the ninth row";
  press("Up", -1, 10);
  EXPECT_EQ(FontListSelected(), 0);
  EXPECT_EQ(FontListTop(), 0);
  press("Down");
  type("q");
  const std::string chosen = textOf(10, 25 * (FontListSelected() - FontListTop() + 1));
  press("Ent");
  EXPECT_FALSE(FontListShown());
  EXPECT_EQ(std::string(fontData.menuFontFile), chosen);
  EXPECT_TRUE(chosen.ends_with("ttf") || chosen.ends_with("otf")) << chosen;
}

class FontApply : public DialogTest {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kMono)) GTEST_SKIP() << "DejaVu fonts missing";
    DialogTest::SetUp();
    ASSERT_EQ(crapInitChecked(nullptr, 0), "");
    std::snprintf(fontData.menuFontFile, kFontItemSize, "%s", kMono);
    std::snprintf(fontData.textFontFile, kFontItemSize, "%s", kMono);
    ASSERT_EQ(fontsSetChecked(e.V()), "");
    S.width = 800;
    S.height = 600;
  }
  void TearDown() override {
    DialogTest::TearDown();
    crapDeinit();
  }
};

TEST_F(FontApply, SpaceBuildsTheFontsAndLaysTheEditorOut) {
  run(cmd::CmdNo("FontConfig"));
  press("Up", -1, 10);
  press("Down", -1, 5);  // TextSize
  press("Rght", -1, 6);
  EXPECT_EQ(font->pixelSize, 18) << "nothing changes before the space bar";
  press("Sp", ' ');
  EXPECT_EQ(font->pixelSize, 24);
  EXPECT_EQ(e->lineHeight, font->lineHeight) << "rows follow the new font";
  EXPECT_EQ(mode(), ModeFontConfig);
  // A file that is no font is replaced, and the dialogue says so.
  vt::TempDir dir;
  vt::WriteFile(dir.file("bad.ttf"), "not a font");
  std::snprintf(fontData.textFontFile, kFontItemSize, "%s", dir.file("bad.ttf").c_str());
  press("Sp", ' ');
  EXPECT_EQ(FontNote(), "Not a font file: " + dir.file("bad.ttf"));
  ASSERT_NE(font->face.get(), nullptr) << "the text font is open";
  EXPECT_EQ(font->pixelSize, 24);
  EXPECT_TRUE(std::filesystem::is_regular_file(fontData.textFontFile));
  // The smallest size is applied too.
  press("Left", -1, 30);
  press("Sp", ' ');
  EXPECT_EQ(FontNote(), "");
  EXPECT_EQ(font->pixelSize, 1);
  EXPECT_GT(e->lineHeight, 0);
  press("Esc", 27);
  EXPECT_EQ(mode(), ModeEdit);
}

// ---- Key dialogue ----------------------------------------------------------

class KeyDialog : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    run(cmd::CmdNo("KeyConfig"));
    ASSERT_EQ(mode(), ModeKeyConfig);
  }
  int rowOf(int32_t value) {
    for (int i = 0; i < vlistn; i++)
      if (vlist[i] == value) return i;
    return -1;
  }
  void select(int32_t value) {
    const int row = rowOf(value);
    ASSERT_GE(row, 0) << value;
    press("Up", -1, KeySelected());
    press("Down", -1, row);
    ASSERT_EQ(KeySelected(), row);
  }
  // What the key table makes of keys pressed in the editor: the binding of
  // the last, or -1 / -2 as KeyConv gives them.
  int conv(std::initializer_list<const char*> keys) {
    int32_t pending = 0;
    int result = -1;
    for (const char* k : keys) {
      int keycode = 0;
      unsigned state = 0;
      if (!ParseKeyName(k, &keycode, &state)) return -100;
      result = KeyConv(unsigned(keycode), state, &pending);
    }
    return result;
  }
  std::string infoText() const {
    std::string s = info;
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
  std::string saved() {
    std::string out;
    saveKeys(out);
    return out;
  }
  std::string shownRow(int row) const { return textOf(5, 30 + 25 * (row - KeyTop())); }
};

constexpr int bound(int command) { return BIND_COMMAND + command; }

TEST_F(KeyDialog, RowsShowKeysAndNamesAndFollowTheSelection) {
  EXPECT_EQ(vlist[0], kRowHeader);
  EXPECT_EQ(shownRow(0).substr(0, 5), "File ");
  EXPECT_EQ(shownRow(0).size(), 64u);
  EXPECT_EQ(pairOf(5, 30), 1) << "the selected row";
  EXPECT_EQ(pairOf(5, 55), 12);
  EXPECT_EQ(shownRow(1), (std::string(16, ' ') + "^K+O  OpenText").append(64 - 30, ' '));
  press("Up");
  EXPECT_EQ(KeySelected(), 0);
  press("Down", -1, 20);
  EXPECT_EQ(KeyTop(), 7) << "the selection is the last of 14 rows";
  EXPECT_EQ(pairOf(5, 30 + 25 * 13), 1);
  press("Up", -1, 14);
  EXPECT_EQ(KeyTop(), 6);
  // The first keys follow "Twokey", named FirstOfTwo; the last row holds.
  select(kRowTwokey);
  EXPECT_EQ(shownRow(KeySelected()).substr(0, 6), "Twokey");
  EXPECT_EQ(vlistn - rowOf(kRowTwokey) - 1, 5) << "^Q, ^K, ^O, ^B and @K";
  press("Down", -1, 10);
  EXPECT_EQ(KeySelected(), vlistn - 1);
  EXPECT_EQ(vlist[vlistn - 1] + BIND_COMMAND, 0x8800);
  EXPECT_NE(shownRow(KeySelected()).find("@K  FirstOfTwo"), std::string::npos) << shownRow(KeySelected());
  // Keys without a meaning here are ignored; Esc closes.
  press("F5");
  press("Esc", 27);
  EXPECT_EQ(mode(), ModeEdit);
  EXPECT_FALSE(KeyDialogOpen());
}

TEST_F(KeyDialog, InsertTakesAKeyOrASequenceAndReportsWhatItReplaced) {
  select(cmd::CmdNo("MarkAll"));
  press("Ins");
  EXPECT_EQ(infoText(), "Press wanted key");
  EXPECT_EQ(textOf(5, 30 + 25 * 14).substr(0, 16), "Press wanted key");
  PressKey(e.V(), 37, 0, [] { return -1; });  // Ctrl alone keeps it waiting
  EXPECT_EQ(addIt, 1);
  press("^Y");
  EXPECT_EQ(infoText(), "Assignment to DelLine overwritten");
  EXPECT_EQ(addIt, 0);
  EXPECT_EQ(conv({"^Y"}), bound(cmd::CmdNo("MarkAll")));
  const std::string out = saved();
  EXPECT_NE(out.find("Key- DelLine ^Y"), std::string::npos) << out;
  EXPECT_NE(out.find("Key+ MarkAll ^Y"), std::string::npos) << out;
  // A key that leads sequences waits for the second key.
  press("Ins");
  press("^K");
  EXPECT_EQ(infoText(), "Press 2:nd key");
  EXPECT_EQ(addIt, 1);
  press("X", 'x');
  EXPECT_EQ(addIt, 0);
  EXPECT_EQ(conv({"^K", "X"}), bound(cmd::CmdNo("MarkAll")));
  EXPECT_NE(saved().find("Key+ MarkAll ^K+X"), std::string::npos) << saved();
  EXPECT_EQ(mode(), ModeKeyConfig);
}

TEST_F(KeyDialog, EscCancelsAnInsertionAndCannotBeAssigned) {
  select(cmd::CmdNo("DelLine"));
  uint16_t before[kKeyTabWords];
  std::memcpy(before, keytab(), sizeof before);
  press("Ins");
  press("Esc", 27);
  EXPECT_EQ(addIt, 0);
  EXPECT_EQ(mode(), ModeKeyConfig) << "Esc while waiting only cancels";
  press("Ins");
  press("^K");
  press("Esc", 27);
  EXPECT_EQ(insert2key, 0) << "nor is it a second key";
  EXPECT_EQ(std::memcmp(before, keytab(), sizeof before), 0);
  // Delete on a header does nothing either.
  select(kRowHeader + 3);
  press("Del");
  EXPECT_EQ(std::memcmp(before, keytab(), sizeof before), 0);
  EXPECT_EQ(infoText(), "");
}

TEST_F(KeyDialog, DeleteRemovesOneKeyAtATimeAndAFirstKeyWithItsSequences) {
  // MarkAll has ^A and @D built in: the first goes, the file keeps one line,
  // and reading that line back removes the same key.
  select(cmd::CmdNo("MarkAll"));
  press("Del");
  EXPECT_EQ(conv({"^A"}), -1);
  EXPECT_EQ(conv({"@D"}), bound(cmd::CmdNo("MarkAll")));
  const std::string out = saved();
  EXPECT_EQ(out, " Key- MarkAll ^A\n") << out;
  ResetKeyTable();
  ASSERT_TRUE(applyKeyLine(false, cmd::CmdNo("MarkAll"), "^A"));
  EXPECT_EQ(conv({"^A"}), -1);
  EXPECT_EQ(conv({"@D"}), bound(cmd::CmdNo("MarkAll")));
  EXPECT_EQ(saved(), out);
  // ^K leads 15 sequences: its row and all of them go.
  press("Up", -1, 300);
  select(int32_t(0x8400) - BIND_COMMAND);
  const int rows = vlistn;
  press("Del");
  EXPECT_EQ(infoText(), "15 2:nd keys deleted");
  EXPECT_EQ(vlistn, rows - 1);
  EXPECT_EQ(rowOf(int32_t(0x8400) - BIND_COMMAND), -1);
  EXPECT_LT(KeySelected(), vlistn);
  EXPECT_EQ(conv({"^K", "B"}), -1);
  EXPECT_EQ(conv({"^Q", "R"}), bound(cmd::CmdNo("FirstLine"))) << "other groups stay";
}

TEST_F(KeyDialog, ANewFirstKeyOnTheTwokeyRowLeadsNewSequences) {
  select(kRowTwokey);
  const int rows = vlistn;
  press("Ins");
  press("^F");
  EXPECT_EQ(vlistn, rows + 1);
  EXPECT_EQ(vlist[vlistn - 1] + BIND_COMMAND, kFirstNewGroup);
  EXPECT_EQ(conv({"^F"}), -2) << "now the first key of sequences";
  select(cmd::CmdNo("DelLine"));
  press("Ins");
  press("^F");
  EXPECT_EQ(infoText(), "Press 2:nd key");
  press("D", 'd');
  EXPECT_EQ(conv({"^F", "D"}), bound(cmd::CmdNo("DelLine")));
  EXPECT_EQ(conv({"^Y"}), bound(cmd::CmdNo("DelLine"))) << "the old key stays";
  const std::string out = saved();
  EXPECT_NE(out.find("Key+ FirstOfTwo ^F"), std::string::npos) << out;
  EXPECT_NE(out.find("Key+ DelLine ^F+D"), std::string::npos) << out;
  // A further first key of the same group, from that first key's row.
  select(int32_t(kFirstNewGroup) - BIND_COMMAND);
  EXPECT_NE(shownRow(KeySelected()).find("^F  FirstOfTwo"), std::string::npos);
  press("Ins");
  press("@F");
  EXPECT_EQ(conv({"@F", "D"}), bound(cmd::CmdNo("DelLine")));
}

}  // namespace
