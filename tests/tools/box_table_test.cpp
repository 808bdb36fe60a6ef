// The box table both ways, checked against the character names of the
// U+2500 block: every arm code must draw the character whose name lists
// exactly those arms, and every such character must read back as its arms.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tools/box_draw.h"

namespace {

// U+2500 .. U+257F, "BOX DRAWINGS " left out.
constexpr const char* kNames[128] = {
    "LIGHT HORIZONTAL",
    "HEAVY HORIZONTAL",
    "LIGHT VERTICAL",
    "HEAVY VERTICAL",
    "LIGHT TRIPLE DASH HORIZONTAL",
    "HEAVY TRIPLE DASH HORIZONTAL",
    "LIGHT TRIPLE DASH VERTICAL",
    "HEAVY TRIPLE DASH VERTICAL",
    "LIGHT QUADRUPLE DASH HORIZONTAL",
    "HEAVY QUADRUPLE DASH HORIZONTAL",
    "LIGHT QUADRUPLE DASH VERTICAL",
    "HEAVY QUADRUPLE DASH VERTICAL",
    "LIGHT DOWN AND RIGHT",
    "DOWN LIGHT AND RIGHT HEAVY",
    "DOWN HEAVY AND RIGHT LIGHT",
    "HEAVY DOWN AND RIGHT",
    "LIGHT DOWN AND LEFT",
    "DOWN LIGHT AND LEFT HEAVY",
    "DOWN HEAVY AND LEFT LIGHT",
    "HEAVY DOWN AND LEFT",
    "LIGHT UP AND RIGHT",
    "UP LIGHT AND RIGHT HEAVY",
    "UP HEAVY AND RIGHT LIGHT",
    "HEAVY UP AND RIGHT",
    "LIGHT UP AND LEFT",
    "UP LIGHT AND LEFT HEAVY",
    "UP HEAVY AND LEFT LIGHT",
    "HEAVY UP AND LEFT",
    "LIGHT VERTICAL AND RIGHT",
    "VERTICAL LIGHT AND RIGHT HEAVY",
    "UP HEAVY AND RIGHT DOWN LIGHT",
    "DOWN HEAVY AND RIGHT UP LIGHT",
    "VERTICAL HEAVY AND RIGHT LIGHT",
    "DOWN LIGHT AND RIGHT UP HEAVY",
    "UP LIGHT AND RIGHT DOWN HEAVY",
    "HEAVY VERTICAL AND RIGHT",
    "LIGHT VERTICAL AND LEFT",
    "VERTICAL LIGHT AND LEFT HEAVY",
    "UP HEAVY AND LEFT DOWN LIGHT",
    "DOWN HEAVY AND LEFT UP LIGHT",
    "VERTICAL HEAVY AND LEFT LIGHT",
    "DOWN LIGHT AND LEFT UP HEAVY",
    "UP LIGHT AND LEFT DOWN HEAVY",
    "HEAVY VERTICAL AND LEFT",
    "LIGHT DOWN AND HORIZONTAL",
    "LEFT HEAVY AND RIGHT DOWN LIGHT",
    "RIGHT HEAVY AND LEFT DOWN LIGHT",
    "DOWN LIGHT AND HORIZONTAL HEAVY",
    "DOWN HEAVY AND HORIZONTAL LIGHT",
    "RIGHT LIGHT AND LEFT DOWN HEAVY",
    "LEFT LIGHT AND RIGHT DOWN HEAVY",
    "HEAVY DOWN AND HORIZONTAL",
    "LIGHT UP AND HORIZONTAL",
    "LEFT HEAVY AND RIGHT UP LIGHT",
    "RIGHT HEAVY AND LEFT UP LIGHT",
    "UP LIGHT AND HORIZONTAL HEAVY",
    "UP HEAVY AND HORIZONTAL LIGHT",
    "RIGHT LIGHT AND LEFT UP HEAVY",
    "LEFT LIGHT AND RIGHT UP HEAVY",
    "HEAVY UP AND HORIZONTAL",
    "LIGHT VERTICAL AND HORIZONTAL",
    "LEFT HEAVY AND RIGHT VERTICAL LIGHT",
    "RIGHT HEAVY AND LEFT VERTICAL LIGHT",
    "VERTICAL LIGHT AND HORIZONTAL HEAVY",
    "UP HEAVY AND DOWN HORIZONTAL LIGHT",
    "DOWN HEAVY AND UP HORIZONTAL LIGHT",
    "VERTICAL HEAVY AND HORIZONTAL LIGHT",
    "LEFT UP HEAVY AND RIGHT DOWN LIGHT",
    "RIGHT UP HEAVY AND LEFT DOWN LIGHT",
    "LEFT DOWN HEAVY AND RIGHT UP LIGHT",
    "RIGHT DOWN HEAVY AND LEFT UP LIGHT",
    "DOWN LIGHT AND UP HORIZONTAL HEAVY",
    "UP LIGHT AND DOWN HORIZONTAL HEAVY",
    "RIGHT LIGHT AND LEFT VERTICAL HEAVY",
    "LEFT LIGHT AND RIGHT VERTICAL HEAVY",
    "HEAVY VERTICAL AND HORIZONTAL",
    "LIGHT DOUBLE DASH HORIZONTAL",
    "HEAVY DOUBLE DASH HORIZONTAL",
    "LIGHT DOUBLE DASH VERTICAL",
    "HEAVY DOUBLE DASH VERTICAL",
    "DOUBLE HORIZONTAL",
    "DOUBLE VERTICAL",
    "DOWN SINGLE AND RIGHT DOUBLE",
    "DOWN DOUBLE AND RIGHT SINGLE",
    "DOUBLE DOWN AND RIGHT",
    "DOWN SINGLE AND LEFT DOUBLE",
    "DOWN DOUBLE AND LEFT SINGLE",
    "DOUBLE DOWN AND LEFT",
    "UP SINGLE AND RIGHT DOUBLE",
    "UP DOUBLE AND RIGHT SINGLE",
    "DOUBLE UP AND RIGHT",
    "UP SINGLE AND LEFT DOUBLE",
    "UP DOUBLE AND LEFT SINGLE",
    "DOUBLE UP AND LEFT",
    "VERTICAL SINGLE AND RIGHT DOUBLE",
    "VERTICAL DOUBLE AND RIGHT SINGLE",
    "DOUBLE VERTICAL AND RIGHT",
    "VERTICAL SINGLE AND LEFT DOUBLE",
    "VERTICAL DOUBLE AND LEFT SINGLE",
    "DOUBLE VERTICAL AND LEFT",
    "DOWN SINGLE AND HORIZONTAL DOUBLE",
    "DOWN DOUBLE AND HORIZONTAL SINGLE",
    "DOUBLE DOWN AND HORIZONTAL",
    "UP SINGLE AND HORIZONTAL DOUBLE",
    "UP DOUBLE AND HORIZONTAL SINGLE",
    "DOUBLE UP AND HORIZONTAL",
    "VERTICAL SINGLE AND HORIZONTAL DOUBLE",
    "VERTICAL DOUBLE AND HORIZONTAL SINGLE",
    "DOUBLE VERTICAL AND HORIZONTAL",
    "LIGHT ARC DOWN AND RIGHT",
    "LIGHT ARC DOWN AND LEFT",
    "LIGHT ARC UP AND LEFT",
    "LIGHT ARC UP AND RIGHT",
    "LIGHT DIAGONAL UPPER RIGHT TO LOWER LEFT",
    "LIGHT DIAGONAL UPPER LEFT TO LOWER RIGHT",
    "LIGHT DIAGONAL CROSS",
    "LIGHT LEFT",
    "LIGHT UP",
    "LIGHT RIGHT",
    "LIGHT DOWN",
    "HEAVY LEFT",
    "HEAVY UP",
    "HEAVY RIGHT",
    "HEAVY DOWN",
    "LIGHT LEFT AND HEAVY RIGHT",
    "LIGHT UP AND HEAVY DOWN",
    "HEAVY LEFT AND LIGHT RIGHT",
    "HEAVY UP AND LIGHT DOWN",
};

// The arm code a name describes, -1 for dashes, arcs and diagonals.  A
// weight word (LIGHT/SINGLE 1, HEAVY 2, DOUBLE 3) names the weight of the
// directions in its own "AND" part; a part without one takes the weight
// of the first part.
int armsOf(const std::string& name) {
  if (name.find("DASH") != std::string::npos || name.find("ARC") != std::string::npos ||
      name.find("DIAGONAL") != std::string::npos)
    return -1;
  int code = 0, firstWeight = 0;
  bool firstPart = true;
  std::string rest = name;
  while (!rest.empty()) {
    const size_t cut = rest.find(" AND ");
    const std::string part = rest.substr(0, cut);
    rest = cut == std::string::npos ? "" : rest.substr(cut + 5);
    std::istringstream words(part);
    int weight = 0, dirs = 0;  // dirs: shifts as bits 1 << shift
    for (std::string w; words >> w;) {
      if (w == "LIGHT" || w == "SINGLE") weight = 1;
      else if (w == "HEAVY") weight = 2;
      else if (w == "DOUBLE") weight = 3;
      else if (w == "DOWN") dirs |= 1 << 0;
      else if (w == "LEFT") dirs |= 1 << 2;
      else if (w == "UP") dirs |= 1 << 4;
      else if (w == "RIGHT") dirs |= 1 << 6;
      else if (w == "VERTICAL") dirs |= 1 << 0 | 1 << 4;
      else if (w == "HORIZONTAL") dirs |= 1 << 2 | 1 << 6;
      else ADD_FAILURE() << "unknown word " << w << " in " << name;
    }
    if (firstPart) firstWeight = weight;
    if (!weight) weight = firstWeight;
    for (int s = 0; s < 8; s += 2)
      if (dirs & (1 << s)) code |= weight << s;
    firstPart = false;
  }
  return code;
}

// A lone double arm: the block has no half double line.
bool loneDouble(int code) { return code == 0x03 || code == 0x0C || code == 0x30 || code == 0xC0; }

TEST(BoxTable, EveryCodeDrawsTheCharacterWithItsArms) {
  int named[256];
  for (int& n : named) n = -1;
  for (int i = 0; i < 128; i++) {
    const int arms = armsOf(kNames[i]);
    if (arms >= 0) named[arms] = i;
  }
  EXPECT_EQ(BoxCharOf(0), tchar(' '));
  for (int code = 1; code < 256; code++) {
    const tchar ch = BoxCharOf(code);
    if (loneDouble(code)) {
      // Drawn as the whole double line of its direction.
      EXPECT_EQ(ch, (code & 0x33) ? tchar(0x2551) : tchar(0x2550)) << std::hex << code;
    } else if (named[code] >= 0) {
      EXPECT_EQ(ch, tchar(0x2500 + named[code])) << "code 0x" << std::hex << code;
    } else {
      EXPECT_EQ(ch, tchar(0)) << "code 0x" << std::hex << code << " has no character";
    }
  }
}

TEST(BoxTable, EveryLineCharacterReadsBackAsItsArms) {
  for (int i = 0; i < 128; i++) {
    const int arms = armsOf(kNames[i]);
    // Characters no code draws are never drawn over.
    EXPECT_EQ(BoxCodeOf(tchar(0x2500 + i)), arms) << kNames[i];
  }
  EXPECT_EQ(BoxCodeOf(' '), 0);
  // Beside the line characters: letters, block elements and shapes.
  for (tchar ch : {tchar('x'), tchar(0x24FF), tchar(0x2580), tchar(0x2584), tchar(0x25D0), tchar(0x25F3),
                   tchar(0x1F600), tchar(0)})
    EXPECT_EQ(BoxCodeOf(ch), -1) << std::hex << ch;
}

}  // namespace
