// Turns the help source into the C++ of helpText and helpIndex, checking
// it on the way: a page serves named commands only, no command has two
// pages, every named command has one, and every line fits the viewer.
//
//   make_help SOURCE OUTPUT
//
// The source holds the pages as the program shows them: "+N" lines, a "-"
// line, the help lines.  A line "%%" ends a page; lines that begin with
// "##" are notes for whoever edits the source and are left out.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/commands.h"

namespace {

constexpr int kIndexSize = 257;
constexpr size_t kLineMax = 64;  // characters the 700-pixel window shows
constexpr char kPageZero[] = " No help available for this command.\n\r";

bool named(int n) { return IsCommand(n) && CmdText[n][0] != 0; }

int fail(const std::string& where, const std::string& what) {
  std::cerr << where << ": " << what << "\n";
  return 1;
}

std::string literal(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\n') out += "\\n\"\n    \"";
    else if (c == '\r') out += "\\r";
    else if (c == '"' || c == '\\') out += std::string("\\") + c;
    else out += c;
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return fail("make_help", "usage: make_help SOURCE OUTPUT");
  std::ifstream in(argv[1]);
  if (!in) return fail(argv[1], "cannot be read");

  std::string text = kPageZero;
  uint32_t index[kIndexSize] = {};
  std::string line;
  int lineNo = 0;
  enum { Between, Numbers, Body } state = Between;
  int pageStart = 0;
  auto where = [&] { return std::string(argv[1]) + ":" + std::to_string(lineNo); };

  while (std::getline(in, line)) {
    lineNo++;
    if (line.rfind("##", 0) == 0) continue;
    for (unsigned char c : line)
      if (c < ' ' || c > '~') return fail(where(), "only printable ASCII belongs in a page");
    if (state == Between) {
      if (line.empty()) continue;
      if (line[0] != '+') return fail(where(), "a page begins with its \"+N\" lines");
      state = Numbers;
      pageStart = int(text.size());
    }
    if (line == "%%") {
      if (state != Body) return fail(where(), "a page ends before its \"-\" line");
      text += '\r';
      state = Between;
      continue;
    }
    if (state == Numbers && line == "-") {
      state = Body;
    } else if (state == Numbers) {
      if (line.size() < 2 || line[0] != '+' || line.find_first_not_of("0123456789", 1) != std::string::npos)
        return fail(where(), "expected \"+N\" or \"-\"");
      const int n = std::stoi(line.substr(1));
      if (n >= kIndexSize || !named(n)) return fail(where(), line + " is no named command");
      if (index[n]) return fail(where(), std::string(CmdText[n]) + " has a page already");
      index[n] = uint32_t(pageStart);
    } else if (line.size() > kLineMax) {
      return fail(where(), "longer than " + std::to_string(kLineMax) + " characters");
    } else if (line == "-" || (line.size() > 1 && line[0] == '+' &&
                               line.find_first_not_of("0123456789", 1) == std::string::npos)) {
      return fail(where(), "a help line that the viewer would take for a rule or a command");
    }
    text += line + '\n';
  }
  if (state != Between) return fail(argv[1], "the last page has no \"%%\"");
  for (int n = 0; n < kIndexSize; n++)
    if (named(n) && !index[n]) return fail(argv[1], std::string("no page for ") + CmdText[n]);

  std::ostringstream out;
  out << "// Made from help/help_pages.txt by make_help when the program is built.\n"
      << "#include \"help/help_text.h\"\n\n"
      << "const char helpText[] =\n    " << literal(text) << ";\n\n"
      << "const uint32_t helpTextSize = " << text.size() << ";\n\n"
      << "const uint32_t helpIndex[kHelpIndexSize] = {";
  for (int n = 0; n < kIndexSize; n++) out << (n % 10 ? " " : "\n    ") << index[n] << ",";
  out << "\n};\n";
  std::ofstream o(argv[2]);
  o << out.str();
  if (!o.flush()) return fail(argv[2], "cannot be written");
  return 0;
}
