#pragma once

#include <QString>

// The application title: at most 40 characters, set once at start-up, and the caption of every
// message box that names no title of its own. The product title until it is set.
QString appTitle();
void storeAppTitle(const QString& title);

inline constexpr char16_t productTitle[] = u"Ravenmoor";
