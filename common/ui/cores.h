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
// Focus colours of the data fields of the user registry and the client record.
inline const QColor campoComFoco{0xDF, 0xEE, 0xF7};
inline const QColor campoSemFoco{0xE2, 0xE2, 0xC5};
inline const QColor campoObrigatorioVazio{0xF0, 0xB7, 0xBC};
// Read-only display fields (company name and CNPJ); also the frame of the highlighted tab.
inline const QColor exibicaoSomenteLeitura{0xFF, 0xFF, 0x95};
// Section heading strips of the user registry.
inline const QColor faixaSecao{0xB6, 0xDA, 0xED};
// Text of state labels, group titles and tab captions; the top strips of the user registry.
inline const QColor azulMarinho{0x00, 0x00, 0x80};
// The blue top strip of the meal and client screens, and the light yellow of their code box.
inline const QColor faixaTopo{0x1C, 0x79, 0xB0};
inline const QColor caixaCodigo{0xFF, 0xFF, 0xB0};
// Boxes of the meal screen the operator cannot type into (grey, unlike the yellow display fields).
inline const QColor caixaNaoEditavel{0xE8, 0xE8, 0xE8};
// Sky blue of group titles (client record) and of the meal screen's tabs.
inline const QColor azulCeu{0xA6, 0xCA, 0xF0};
// The general data group of an inactive client.
inline const QColor clienteInativo{0xFF, 0x00, 0x00};
} // namespace cor
