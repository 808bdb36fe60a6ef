#include "config/defaults.h"

#include "core/editor_state.h"

void initDef(EditorState*, Defaults* d) {
  d->winWidth = kDefaultWidth;
  d->winHeight = kDefaultHeight;
  d->leftMargin = kDefaultLeftMargin;
  d->rightMargin = kDefaultRightMargin;
  d->mode = kDefaultMode;
}
