// The configuration file: what is written, what is read back, and what a
// damaged or hostile file does.
#include "config/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>

#include "config/colors.h"
#include "config/defaults.h"
#include "config/fonts.h"
#include "config/key_edit.h"
#include "display/screen.h"
#include "print/print_settings.h"
#include "shell/commands.h"
#include "shell/event_loop.h"
#include "shell/key_names.h"
#include "shell/key_table.h"
#include "shell/prompt.h"
#include "tests/support/headless.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr const char* kFontLines =
    " Font MenuFont :Mono:Courier\n"
    " Font MenuFontFile \n"
    " Font MenuSize 18\n"
    " Font TextFont :Mono:Courier\n"
    " Font TextFontFile \n"
    " Font TextSize 18\n"
    " Font TextWidth 0\n"
    " Font TextBaseline 0\n"
    " Font TextLineSpace 0\n";

class ConfigFile : public ::testing::Test {
 protected:
  void SetUp() override {
    fontsInit();
    clean();
    LoadConfig(e.V());
    initDef(e.V(), &e->defaults);
  }
  void TearDown() override {
    clean();
    e->optDefaults = e->optNoFonts = 0;
    fontsInit();
    LoadConfig(e.V());
  }
  void clean() {
    for (const char* tail : {"", "~", "~~"}) {
      const std::string p = path() + tail;
      rmdir(p.c_str());
      unlink(p.c_str());
    }
  }
  std::string path() { return ConfigPath(e.V()); }
  // Applies `text` as the file's contents.
  ConfigReport load(const std::string& text) { return LoadConfigData(e.V(), text); }
  std::string saved() { return BuildConfig(e.V()); }
  static int bound(const char* key) {
    int code, pending = 0;
    unsigned state;
    EXPECT_TRUE(ParseKeyName(key, &code, &state));
    return KeyConv(unsigned(code), state, &pending);
  }

  vt::Editor e;
};

TEST_F(ConfigFile, NothingChangedWritesOnlyTheFontLines) { EXPECT_EQ(saved(), kFontLines); }

TEST_F(ConfigFile, EveryLineFormInItsOrder) {
  printVal[PRINT_DENSITY] = 150;
  printVal[PRINT_PAPERSIZE] = 1;
  fontData.textSize = 24;
  std::snprintf(fontData.textFontFile, kFontItemSize, "/fonts/My Mono.ttf");
  e->defaults.mode = (kDefaultMode | MODE_WRAP | TGL_SOURCE | 0x800 | 0x1) & ~TGL_INSERT;
  e->defaults.winHeight = 700;
  e->defaults.winWidth = 1024;
  e->defaults.leftMargin = 2;
  co[COLOR_COMMENT] = 0x00123457;  // the low two bits of each channel are not kept
  co[COLOR_HILITE] = 0x00ffff03;   // differs only there: no line
  ASSERT_EQ(applyKeyLine(true, cmd::DelLine, "@D"), true);
  ASSERT_EQ(applyKeyLine(true, 0, "^G"), true);
  ASSERT_EQ(applyKeyLine(true, cmd::Redo, "^G+X"), true);
  const std::string expected =
      " Key- MarkAll @D\n"
      " Key+ FirstOfTwo ^G\n"
      " Key+ DelLine @D\n"
      " Key+ Redo ^G+X\n"
      " Color Comment% 0xff103454\n"
      " Default Reset ToggleInsert\n"
      " Default Set ToggleWordwrap\n"
      " Default Set ToggleSourceView\n"
      " Default Heigh 700\n"
      " Default Width 1024\n"
      " Default LMarg 2\n"
      " Font MenuFont :Mono:Courier\n"
      " Font MenuFontFile \n"
      " Font MenuSize 18\n"
      " Font TextFont :Mono:Courier\n"
      " Font TextFontFile /fonts/My Mono.ttf\n"
      " Font TextSize 24\n"
      " Font TextWidth 0\n"
      " Font TextBaseline 0\n"
      " Font TextLineSpace 0\n"
      "Print PaperSize 1\n"
      "Print Density 150\n";
  EXPECT_EQ(saved(), expected);
  // Read back onto fresh settings, the file says the same.
  fontsInit();
  initDef(e.V(), &e->defaults);
  const ConfigReport r = load(expected);
  EXPECT_EQ(r.badLines, 0) << r.firstBad;
  EXPECT_EQ(saved(), expected);
  EXPECT_STREQ(fontData.textFontFile, "/fonts/My Mono.ttf");
  EXPECT_EQ(co[COLOR_COMMENT], 0xff103454u);
  EXPECT_EQ(bound("^A"), BIND_COMMAND + cmd::MarkAll);
}

TEST_F(ConfigFile, ReadingKeepsToTheFormsAndCountsWhatItSkips) {
  const ConfigReport r = load(
      " Color Comment 0x00112233\r\n"            // 1: no such role
      " Color Comment% 0x00445566\r\n"           // CR separates like a blank
      " Color Status 445566 and more words\n"    // words after the form: ignored
      " Color Tab 0xnothex\n"                    // 4
      " Colour Tab 0x0\n"                        // 5: no such section
      "\n"                                       // empty: harmless
      " Default LMarg 3\n"
      " Default ABCDEFGHIJKLMNOPQRSTUVWXY 5\n"   // 8: a word of 25 bytes
      " Default Set FirstOfTwo\n"                // 9
      " Default SrcOpt\n"
      " Default Width 99\n"                      // 11: too narrow
      " Default Heigh 32767\n"
      " Key+ Undo ^Nokey\n"                      // 13
      " Key+ NoCommand ^G\n"                     // 14
      " Font TextSize 0\n"                       // 15: would divide by zero
      " Font TextWidth 51\n"                     // 16
      "Print Density 250\n"                      // 17: wider than the page strip
      "Print FontSize 30\n"
      " Key+ Undo ^G");                          // 19: cut short
  EXPECT_EQ(r.badLines, 12);
  EXPECT_EQ(r.firstBadLine, 1);
  EXPECT_EQ(r.firstBad, " Color Comment 0x00112233?");
  EXPECT_EQ(co[COLOR_COMMENT], 0x00445566u);
  EXPECT_EQ(co[COLOR_STATUS], 0x00445566u);
  EXPECT_EQ(co[COLOR_TAB], colorRoles[COLOR_TAB].def);
  EXPECT_EQ(e->defaults.leftMargin, 3);
  EXPECT_EQ(e->defaults.winWidth, kDefaultWidth);
  EXPECT_EQ(e->defaults.winHeight, 32767);
  EXPECT_EQ(fontData.textSize, 18);
  EXPECT_EQ(fontData.textWidth, 0);
  EXPECT_EQ(printVal[PRINT_DENSITY], 128);
  EXPECT_EQ(printVal[PRINT_FONTSIZE], 30);
  EXPECT_EQ(bound("^G"), -1);
}

TEST_F(ConfigFile, AssignmentsBeyondAFullKeyTableAreCountedNotDropped) {
  std::string text;
  int lines = 0;
  for (unsigned state : {0x48u, 0x09u, 0x41u, 0xc0u, 0x81u, 0x88u, 0x49u, 0xc8u})
    for (int code = 10; code < 62; code++) {
      if (std::strcmp(KeyNames[code], "n/a") == 0) continue;
      char key[32];
      KeyText(key, sizeof key, KeyValue(unsigned(code), state));
      text += std::string(" Key+ Undo ") + key + "\n";
      lines++;
    }
  const int room = (kKeyTabWords - 2 * kKeyInitPairs) / 2;
  ASSERT_GT(lines, room);
  const ConfigReport r = load(text);
  EXPECT_EQ(r.badLines, lines - room);
  EXPECT_EQ(*keymax(), kKeyTabWords);
}

TEST_F(ConfigFile, MarginsAreCheckedAsAPairOnceTheFileIsRead) {
  // The right margin comes later in the file than the left one it makes room for.
  EXPECT_EQ(load(" Default LMarg 100\n Default RMarg 200\n").badLines, 0);
  EXPECT_EQ(e->defaults.leftMargin, 100);
  EXPECT_EQ(e->defaults.rightMargin, 200);
  for (const char* bad : {" Default RMarg 5000\n", " Default LMarg -3\n", " Default RMarg 1022\n",
                          " Default LMarg 300\n", " Default RMarg 100\n"}) {
    const ConfigReport r = load(std::string(" Color Tab 0x1\n") + bad);
    EXPECT_EQ(r.badLines, 1) << bad;
    EXPECT_EQ(e->defaults.leftMargin, 100) << bad;
    EXPECT_EQ(e->defaults.rightMargin, 200) << bad;
  }
  const ConfigReport r = load(" Default LMarg 500\n Color Nope 0\n");
  EXPECT_EQ(r.badLines, 2);
  EXPECT_EQ(r.firstBadLine, 1);
}

TEST_F(ConfigFile, AFontTextIsTheRestOfItsLine) {
  const std::string name127(127, 'n');
  EXPECT_EQ(load(" Font TextFont DejaVu Sans Mono:bold  \r\n"
                 " Font MenuFontFile /a b/" + name127.substr(5) + "\n"
                 " Font TextFontFile /x/" + name127 + "\n")  // 130 bytes: refused
                .badLines,
            1);
  EXPECT_STREQ(fontData.textFont, "DejaVu Sans Mono:bold");
  EXPECT_EQ(fontData.menuFontFile, "/a b/" + name127.substr(5));
  EXPECT_STREQ(fontData.textFontFile, "");
  // Characters beyond Latin-1 are kept as their UTF-8 bytes.
  EXPECT_EQ(load(" Font MenuFont Łódź Mono\n").badLines, 0);
  EXPECT_STREQ(fontData.menuFont, "Łódź Mono");
  // -f leaves the font settings alone without calling the lines bad.
  e->optNoFonts = 1;
  EXPECT_EQ(load(" Font MenuFont Other\n Color Tab 0x1\n").badLines, 0);
  EXPECT_STREQ(fontData.menuFont, "Łódź Mono");
  EXPECT_EQ(co[COLOR_TAB], 1u);
}

TEST_F(ConfigFile, MinusDIgnoresTheContents) {
  e->optDefaults = 1;
  load(" Color Tab 0x1\n Default Width 1000\n Font TextSize 30\n Key- Undo ^Z\n");
  EXPECT_EQ(co[COLOR_TAB], colorRoles[COLOR_TAB].def);
  EXPECT_EQ(e->defaults.winWidth, kDefaultWidth);
  EXPECT_EQ(fontData.textSize, 18);
  EXPECT_EQ(bound("^Z"), BIND_COMMAND + cmd::Undo);
}

TEST_F(ConfigFile, ALaterLoadReplacesKeysColoursAndPrintButOnlyNamedDefaults) {
  load(" Color Tab 0x1\n Default Width 1000\nPrint LineNum 1\n Key- Undo ^Z\n");
  load(" Default Heigh 500\n");
  EXPECT_EQ(co[COLOR_TAB], colorRoles[COLOR_TAB].def);
  EXPECT_EQ(printVal[PRINT_LINENUM], 0);
  EXPECT_EQ(bound("^Z"), BIND_COMMAND + cmd::Undo);
  EXPECT_EQ(e->defaults.winWidth, 1000);
  EXPECT_EQ(e->defaults.winHeight, 500);
}

TEST_F(ConfigFile, SourceViewFromTheFileIsOneSwitchForAllTexts) {
  vt::WriteFile(path(), " Default Set ToggleSourceView\n Default Set ToggleWordwrap\n");
  vt::Editor fresh;
  EXPECT_TRUE(fresh->toggles & TGL_SOURCE);
  Tcb* t = fresh.open("int x;\n", "a.c");
  EXPECT_FALSE(t->mode & MODE_SOURCE);
  EXPECT_TRUE(t->mode & MODE_WRAP);
  int n = cmd::ToggleSourceView;
  DoCommand(fresh.V(), &n);
  EXPECT_FALSE((fresh->toggles | t->mode) & TGL_SOURCE);
}

TEST_F(ConfigFile, SetDefaultsTakesTheWindowAndTheCurrentText) {
  S.width = 1024;
  S.height = 700;
  e.open("x\n", "a.txt");
  e.cur()->leftMargin = 4;
  e.cur()->rightMargin = 60;
  e.cur()->mode = (kDefaultMode & MODE_TEXT_MASK) | MODE_UTF8 | MODE_WRAP;
  e->toggles |= TGL_SOURCE | 0x1;  // recording a macro is no default
  int n = cmd::SetDefaults;
  DoCommand(e.V(), &n);
  EXPECT_EQ(saved().substr(0, saved().find(" Font")),
            " Default Set ToggleWordwrap\n Default Set ToggleSourceView\n Default Heigh 700\n"
            " Default Width 1024\n Default RMarg 60\n Default LMarg 4\n");
}

TEST_F(ConfigFile, SavingKeepsTheOldFileAndFailsWithoutHarm) {
  vt::WriteFile(path(), " Color Tab 0x00000001\n");
  ASSERT_EQ(LoadConfig(e.V()), 0);
  co[COLOR_TAB] = 0x00000400;
  int n = cmd::SaveConfig;
  DoCommand(e.V(), &n);
  EXPECT_EQ(e.alert(), "");
  EXPECT_EQ(vt::ReadFile(path()), std::string(" Color Tab 0xff000400\n") + kFontLines);
  EXPECT_EQ(vt::ReadFile(path() + "~"), " Color Tab 0x00000001\n");
  EXPECT_FALSE(vt::Exists(path() + "~~"));
  // A file that cannot be replaced stays as it is, and the alert says why.
  clean();
  ASSERT_EQ(mkdir(path().c_str(), 0755), 0);
  DoCommand(e.V(), &n);
  EXPECT_EQ(e.alert().substr(0, 7), "ERROR: ");
  EXPECT_GT(e.alert().size(), 7u);
  struct stat st;
  EXPECT_TRUE(stat(path().c_str(), &st) == 0 && S_ISDIR(st.st_mode));
  EXPECT_FALSE(vt::Exists(path() + "~~"));
  // Without a configuration folder there is nowhere to save.
  char keep[sizeof e->cfgDir];
  std::memcpy(keep, e->cfgDir, sizeof keep);
  e->cfgDir[0] = 0;
  DoCommand(e.V(), &n);
  EXPECT_EQ(e.alert(), "ERROR");
  std::memcpy(e->cfgDir, keep, sizeof keep);
}

TEST_F(ConfigFile, ADamagedFileIsReportedAndOnlyReplacedWhenTheUserSaysSo) {
  const std::string damaged = " Color Tab 0x400\n\x01\x02garbage\n Color Bad 1\n";
  vt::WriteFile(path(), damaged);
  EXPECT_EQ(LoadConfig(e.V()), 0);
  EXPECT_EQ(ConfigMessage(), path() + ": 2 bad lines skipped, the first 2: ??garbage");
  int n = cmd::SaveConfig;
  DoCommand(e.V(), &n);
  EXPECT_EQ(e->inputMode, ModePrompt);
  Prompt(e.V(), 'n');
  EXPECT_EQ(vt::ReadFile(path()), damaged);
  DoCommand(e.V(), &n);
  Prompt(e.V(), 'y');
  EXPECT_EQ(vt::ReadFile(path()), std::string(" Color Tab 0xff000400\n") + kFontLines);
  DoCommand(e.V(), &n);  // a clean state saves without asking
  EXPECT_EQ(e->inputMode, ModeEdit);
  // -d and -f leave the file's settings unread: saving asks too.
  e->optNoFonts = 1;
  LoadConfig(e.V());
  EXPECT_EQ(ConfigMessage(), "");
  EXPECT_TRUE(ConfigNeedsConfirm());
}

TEST_F(ConfigFile, OnlyARegularFileOfAtMost64KiBIsRead) {
  ASSERT_EQ(mkfifo(path().c_str(), 0600), 0);
  EXPECT_EQ(LoadConfig(e.V()), -1);  // returns at once: nobody writes the FIFO
  EXPECT_EQ(ConfigMessage(), path() + ": not a regular file, built-in settings used");
  EXPECT_TRUE(ConfigNeedsConfirm());
  clean();
  ASSERT_EQ(mkdir(path().c_str(), 0755), 0);
  EXPECT_EQ(LoadConfig(e.V()), -1);
  EXPECT_EQ(ConfigMessage(), path() + ": not a regular file, built-in settings used");
  clean();
  EXPECT_EQ(LoadConfig(e.V()), -1);  // missing: silently the defaults
  EXPECT_EQ(ConfigMessage(), "");
  EXPECT_FALSE(ConfigNeedsConfirm());
  std::string big;
  while (big.size() < kConfigReadMax - 100) big += " Color Tab 0x00000002\n";
  big.resize(kConfigReadMax, '\n');
  big += " Color Tab 0x00000003\n";
  vt::WriteFile(path(), big);
  EXPECT_EQ(LoadConfig(e.V()), 0);
  EXPECT_EQ(ConfigMessage(), path() + ": past 65536 bytes ignored");
  EXPECT_EQ(co[COLOR_TAB], 2u);
}

TEST_F(ConfigFile, LoadAppliesColoursAtOnceAndResetRestoresTheDefaults) {
  vt::WriteFile(path(), " Color Background 0x00102030\n Key- Undo ^Z\nPrint TopMarg 3\n");
  int n = cmd::LoadConfig;
  DoCommand(e.V(), &n);
  EXPECT_EQ(S.pairs[0][1], 0x102030u);
  EXPECT_EQ(bound("^Z"), -1);
  n = cmd::ResetConfig;
  DoCommand(e.V(), &n);
  EXPECT_EQ(S.pairs[0][1], 0xffffffu);
  EXPECT_EQ(bound("^Z"), BIND_COMMAND + cmd::Undo);
  EXPECT_EQ(printVal[PRINT_TOPMARG], 10);
}

// Random settings, saved, read back and saved again: the same bytes.
TEST_F(ConfigFile, SaveLoadSaveIsByteIdentical) {
  std::mt19937 rng(17);
  auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
  const char* keys[] = {"@Q", "^G", "WnK", "@gX", "Sh^F5", "F1", "^K", "^Y", "@D", "Tab", "^\xA7", "#7"};
  for (int round = 0; round < 40; round++) {
    ResetKeyTable();
    for (int i = 0; i < 20; i++) {
      int code;
      unsigned state;
      ParseKeyName(keys[pick(12)], &code, &state);
      setupVlist();
      const int what = pick(4);
      if (what == 0) {
        add(code, state, kRowTwokey);
      } else if (what == 1 && vlistn > 0) {
        deleteKey(vlist[pick(vlistn)]);
      } else {
        int cmdNo = 2 + pick(kCmdCount - 2);
        while (!IsCommand(cmdNo)) cmdNo = 2 + pick(kCmdCount - 2);
        if (add(code, state, cmdNo) == 1) add(10 + pick(50), 0, cmdNo);
      }
      insert2key = 0;
    }
    for (int i = 0; i < kColorRoles; i++)
      if (pick(3) == 0) co[size_t(i)] = uint32_t(rng());
    e->defaults.mode = uint32_t(rng()) & 0x3ffff;
    e->defaults.winWidth = 100 + pick(3000);
    e->defaults.leftMargin = pick(50);
    e->defaults.rightMargin = 51 + pick(900);
    fontData.menuSize = 1 + pick(50);
    fontData.textLineSpace = pick(51);
    std::snprintf(fontData.menuFontFile, kFontItemSize, "/f o/%d x.ttf", pick(1000));
    for (int i = 0; i < kPrintItems; i++)
      if (pick(2)) printVal[size_t(i)] = uint8_t(itemTxt[size_t(i)].lowest + pick(2));
    const std::string first = saved();
    const ConfigReport r = load(first);
    ASSERT_EQ(r.badLines, 0) << r.firstBad;
    ASSERT_EQ(saved(), first) << "round " << round;
  }
}

}  // namespace
