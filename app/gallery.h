// The pictures meant for checking by eye, written by `vpultron64 --gallery DIR`.
#pragma once

#include "editor_window.h"

class ScreenshotWriter;

// Writes every gallery picture through `writer`. Each subsystem with something to look at adds
// its pictures in gallery.cpp.
void writeGallery(ScreenshotWriter& writer, const TForm1::Options& options);
