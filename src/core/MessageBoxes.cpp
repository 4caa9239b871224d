#include "core/MessageBoxes.h"

#include "core/AppTitle.h"

void MessageBoxes::inform(const QString& text) {
    show({text, appTitle(), MessageIcon::None});
}
