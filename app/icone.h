#pragma once
// The program's own icon (plate, fork and knife on the top bar's blue), the one of the desktop
// entry: every window of the program carries it instead of the toolkit's logo.

#include <QIcon>

QIcon iconePrograma();
