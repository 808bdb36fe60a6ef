// The configuration file "vexor.cfg" in the configuration directory: keys,
// colours, defaults, fonts and print settings in one text file.
//
// Only what differs from the built-in settings is written, except the font
// settings, which are always all written.  Reading applies every good line
// and skips the rest, counting them; keys, colours and print settings not
// named by the file are at their built-in values afterwards.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct EditorState;

constexpr size_t kConfigReadMax = 65536;  // bytes read; the rest is ignored

// What reading found wrong.
struct ConfigReport {
  int badLines = 0;
  int firstBadLine = 0;      // its number, from 1
  std::string firstBad;      // its text, cut short and made printable
};

// The file's path: V->cfgDir followed by "vexor.cfg" (empty without a folder).
std::string ConfigPath(const EditorState* V);

// The whole file as SaveConfig writes it.
std::string BuildConfig(EditorState* V);
// Applies the file's contents (as read) to the settings: keys, colours and
// print settings start from their defaults.  -d and -f are honoured.
ConfigReport LoadConfigData(EditorState* V, std::string_view data);

// Reads the file at start-up or for the LoadConfig command.  Returns 0, or
// -1 when there is no file to read.  What went wrong (bad lines, a file too
// long, not a regular file) is in ConfigMessage.
int LoadConfig(EditorState* V);
// The one-line account of the last load's trouble naming the file, or "".
const std::string& ConfigMessage();
// True when the last load left the file's contents unused in part (bad
// lines, its tail, -d, -f, or it could not be read): saving then asks first.
bool ConfigNeedsConfirm();

// Commands.
void SaveConfig(EditorState* V);     // writes the file, asking first when needed
void LoadConfigCmd(EditorState* V);  // reads it and applies the colours at once
void ResetConfig(EditorState* V);    // built-in keys, colours and print settings

// Writes `data` as the file: "vexor.cfg~~" written, checked and flushed,
// the old file kept as "vexor.cfg~", then renamed into place.  Returns "" or
// the reason it failed (the old file is then untouched).
std::string WriteConfigFile(const std::string& path, const std::string& data);
