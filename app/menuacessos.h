#pragma once
// The main menu as the program catalogue sees it, and the "&Mapear Menu" command.
// An entry's Tag is the integer property "Tag" of its QAction (for a submenu, of its menuAction()
// or of the QMenu itself); an entry without it has Tag 0.

#include "common/acessos.h"

class QMenuBar;

std::vector<ItemMenu> descreveMenu(QMenuBar* barra);

// "&Mapear Menu": asks, rebuilds the catalogue from the menu and shows the result.
void MapearMenu(QMenuBar* barra);
