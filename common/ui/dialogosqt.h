#pragma once
// The dialogs service as the program shows it: real Qt boxes with the Portuguese captions and
// button texts of the translation table.

#include "common/dialogos.h"

class DialogosQt : public Dialogos
{
public:
    int mensagem(TipoCaixa tipo, const QString& titulo, const QString& texto, int botoes = Botao::Ok) override;
    bool entrada(const QString& titulo, const QString& rotulo, QString& valor) override;
    QString abrirArquivo(const QString& titulo, const QString& filtro) override;
    int mostrarModal(QObject* janela) override;

    // A filter written as "description|pattern" pairs ("Bitmaps (*.BMP) | *.BMP") in Qt's form,
    // each pattern also in lower case, as file names here are case-sensitive.
    static QString filtroQt(const QString& filtro);
};
