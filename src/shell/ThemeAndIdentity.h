#pragma once

#include "core/AppTitle.h"

#include <QString>

class QWidget;
class SkinFramework;

// The visual theme and the application's identity: the routines of module Main (historic
// names).

// True when the path names an existing file or folder. Never fails.
bool FileExists(const QString& path);

// The folder of the running executable, links resolved.
QString programFolder();

// With a regular, visible skin file "x/o.cjs" below the program folder: the window, its frame
// and labels take the palette's button colour and the skin is loaded and applied. Without it
// nothing changes. Throws Failure when the skin cannot be loaded (the colours then stay).
void ApplyVisualTheme(QWidget& window, const QString& folder = programFolder());
// The same with a given engine (tests observe it).
void ApplyVisualTheme(QWidget& window, SkinFramework& engine, const QString& folder);

// Sets the application title (the caption of boxes that name no title) from the product title.
void SetAppTitle();

// The cutting rule for a product title: drop the last blank and what follows, until at most 40
// characters remain. A title without a blank is kept whole.
QString cutAppTitle(const QString& productTitle);
