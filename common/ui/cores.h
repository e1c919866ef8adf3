#pragma once
// Colours shared by the screens. The grid and title colours are run-time values that the main
// window assigns at start-up and the screens read at the moment of drawing; the field colours
// are fixed.

#include <QColor>

struct CoresCompartilhadas
{
    QColor CorDBGrid{0xCC, 0xEA, 0xC8};  // odd rows of the striped grids
    QColor CorSelecao{0x4E, 0x6B, 0x0A}; // selected or focused grid cell
    QColor CorTitulo{0x00, 0x00, 0x00};  // title panels: never assigned, so black
};

CoresCompartilhadas& cores();

namespace cor {
inline const QColor campoComFoco{0xDF, 0xEE, 0xF7};
inline const QColor campoSemFoco{0xE2, 0xE2, 0xC5};
inline const QColor campoObrigatorioVazio{0xF0, 0xB7, 0xBC};
inline const QColor somenteLeitura{0xFF, 0xFF, 0x95};
inline const QColor faixaSecao{0xB6, 0xDA, 0xED};
} // namespace cor
