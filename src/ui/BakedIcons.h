#pragma once
// The toolbar icons drawn at build time (velquin-icon-bake): premultiplied ARGB pixels, one
// row after another, for each icon file (its name without ".svg") at each baked size.

#include <QtGlobal>

struct TBakedIcon {
  const char* Name;
  int Size;  // width and height in pixels
  const quint32* Pixels;
};

extern const TBakedIcon kBakedIcons[];
extern const int kBakedIconCount;
