#pragma once
// Picture bound to a blob field holding an image (a bitmap of a user's photo, the company logo).
// A double click is left to the screen (signal duploClique); loading a file or pasting opens a
// browsed record for change first.

#include "common/ui/ligacaocampo.h"

#include <QLabel>

class DBImage : public QLabel, private LigacaoCampo::Controle
{
    Q_OBJECT
public:
    explicit DBImage(QWidget* parent = nullptr);
    ~DBImage() override;

    void liga(Dataset* dataset, const QString& campo) { ligacao_->liga(dataset, campo); }
    LigacaoCampo* ligacao() const { return ligacao_; }
    void setEsticada(bool sim) { setScaledContents(sim); }
    bool temImagem() const;

    // Asks for a bitmap file (file-open dialog, filter "Bitmaps (*.BMP) | *.BMP") and loads it;
    // errors reach the error report. True when a picture was loaded.
    bool escolheArquivo();
    // Loads the file into the field; throws when it cannot be read or is no picture.
    void carregaArquivo(const QString& caminho);
    // Clipboard.
    void copiar() const;
    void recortar();
    void colar();

Q_SIGNALS:
    void duploClique();

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void mostraCampo(Field* campo) override;
    void aplicaSomenteLeitura(bool) override {}
    void gravaCampo(Field&) override {}
    bool vazio() const override { return !temImagem(); }

    Field& abreParaAlterar();

    LigacaoCampo* ligacao_;
};
