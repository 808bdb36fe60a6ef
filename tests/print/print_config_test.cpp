// What the print settings dialogue shows: nine rows of a name and its value
// as the user reads it, the chosen row marked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/dialog_window.h"
#include "print/print_config.h"
#include "print/print_settings.h"
#include "shell/commands.h"
#include "tests/support/headless.h"

namespace {

struct Shown {
  std::vector<std::string> texts;
  std::vector<int> pairs;
};

TEST(PrintConfigDialog, RowsShowNamesAndValuesAsTheUserReadsThem) {
  vt::Editor ed;
  getPrintDef();
  Shown shown;
  SetDialogSink([&](const DialogDraw& d) {
    if (d.kind != DialogDraw::Text) return;
    shown.texts.push_back(d.text);
    shown.pairs.push_back(d.pair);
  });
  printConfig(ed.V());
  const std::vector<std::string> defaults = {"PaperSize", "None   ", "FontSize", " 20 ",   "Density",
                                             " 1280 ",    "Aspect",  " 118",     "TopMarg", " 10 ",
                                             "LeftMarg",  " 7 ",     "BottomMarg", " 10 ", "RightMarg",
                                             " 7 ",       "LineNum", "   "};
  EXPECT_EQ(shown.texts, defaults);
  // Menu colours, the chosen value in the marked pair.
  EXPECT_EQ(shown.pairs[0], 12);
  EXPECT_EQ(shown.pairs[1], 13);
  EXPECT_EQ(shown.pairs[3], 12);

  // Paper stepped to A4; numbering on; Density up to its limit; a size read
  // from a file outside the four shows as none.
  for (int key : {cmd::OneRight, cmd::OneUp}) printCfgKey(ed.V(), CMD_BASE + key);
  EXPECT_EQ(shown.texts[shown.texts.size() - 17], "A4     ");
  for (int i = 0; i < 10; i++) printCfgKey(ed.V(), CMD_BASE + cmd::OneDown);
  printCfgKey(ed.V(), CMD_BASE + cmd::OneRight);
  EXPECT_EQ(shown.texts.back(), " * ");
  EXPECT_EQ(shown.pairs.back(), 13);
  printVal[PRINT_DENSITY] = 189;
  printVal[PRINT_PAPERSIZE] = 200;
  for (int i = 0; i < 6; i++) printCfgKey(ed.V(), CMD_BASE + cmd::OneUp);
  printCfgKey(ed.V(), CMD_BASE + cmd::OneRight);
  printCfgKey(ed.V(), CMD_BASE + cmd::OneRight);
  EXPECT_EQ(shown.texts[shown.texts.size() - 13], " 1900 ");
  EXPECT_EQ(shown.texts[shown.texts.size() - 17], "None   ") << "PaperSize 200 % 4 = 0";
  SetDialogSink({});
  printCfgKey(ed.V(), 27);
  EXPECT_FALSE(PrintConfigOpen());
  EXPECT_EQ(ed->inputMode, 1);
  getPrintDef();
}

}  // namespace
