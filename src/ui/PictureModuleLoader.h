#pragma once
// The viewer's way to its picture module (see PictureModule.h), loaded with the first
// picture previewed from beside the program (see ViewerModules.h).

#include <string>

#include "PictureModule.h"

// The module, loaded now if it is not yet; nullptr when it is missing, refused or unusable,
// and the preview then shows nothing, as for a picture it cannot read. A later call tries
// again.
const TPictureModule* PictureModule();
// Where to load from instead, for the tests, which run from their own folders; "" goes
// back to the installed place. Takes effect at the next load (a loaded module stays).
void SetPictureModulePath(const std::string& path);
