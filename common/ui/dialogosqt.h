#pragma once
// The dialogs service as the program shows it: real Qt boxes with the Portuguese captions and
// button texts of the translation table.

#include "common/dialogos.h"

class QFileDialog;

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

    // Every file dialog the program opens (to read a picture, to save a PDF or a CSV) is the
    // toolkit's own, whatever the desktop, with Portuguese captions and buttons, and wide enough for
    // them; mostrarModal applies this to a QFileDialog it is given.
    static void preparaDialogoArquivo(QFileDialog& dialogo);
    // From now on every file dialog shown gets the same captions and widths, also one the toolkit
    // opens by itself (the "..." of the print dialog). Called once the Portuguese texts are installed.
    static void vigiaDialogosArquivo();
};
