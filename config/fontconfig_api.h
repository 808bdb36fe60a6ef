// fontconfig, reached through libfontconfig.so.1 loaded at run time: the
// font settings match names and list files with it, the screen finds the
// fonts that hold characters the text font lacks.
#pragma once

// fontconfig's types, kept opaque: only pointers cross the boundary.
struct FcPattern;
struct FcConfig;
struct FcObjectSet;
struct FcCharSet;
struct FcFontSet {
  int nfont;
  int sfont;
  FcPattern** fonts;
};
using FcBool = int;
using FcChar8 = unsigned char;
using FcChar32 = unsigned int;
constexpr int FcResultMatch = 0;
constexpr int FcMatchPattern = 0;

struct FcApi {
  FcBool (*Init)();
  FcConfig* (*InitLoadConfigAndFonts)();
  FcPattern* (*NameParse)(const FcChar8*);
  FcBool (*ConfigSubstitute)(FcConfig*, FcPattern*, int);
  void (*DefaultSubstitute)(FcPattern*);
  FcPattern* (*FontMatch)(FcConfig*, FcPattern*, int*);
  int (*PatternGetString)(const FcPattern*, const char*, int, FcChar8**);
  int (*PatternGetInteger)(const FcPattern*, const char*, int, int*);
  int (*PatternGetCharSet)(const FcPattern*, const char*, int, FcCharSet**);
  FcBool (*PatternAddBool)(FcPattern*, const char*, FcBool);
  void (*PatternDestroy)(FcPattern*);
  void (*ConfigDestroy)(FcConfig*);
  FcFontSet* (*FontList)(FcConfig*, FcPattern*, FcObjectSet*);
  FcFontSet* (*FontSort)(FcConfig*, FcPattern*, FcBool, FcCharSet**, int*);
  FcBool (*CharSetHasChar)(const FcCharSet*, FcChar32);
  FcObjectSet* (*ObjectSetBuild)(const char*, ...);
  void (*FontSetDestroy)(FcFontSet*);
  void (*ObjectSetDestroy)(FcObjectSet*);
};

// The library's functions, loaded on the first call and kept loaded for the
// rest of the run; null when the library or one of them is missing.
const FcApi* FcApiLoad();
// Tests: makes FcApiLoad answer null, as on a machine without fontconfig.
void FcApiPretendMissing(bool missing);
