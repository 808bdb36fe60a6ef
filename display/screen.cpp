#include "display/screen.h"

Screen S;
