#pragma once
// Multi-line box bound to a text field, a text blob or a binary blob holding text. Enter breaks
// the line; the text is written when the user leaves the box.

#include "common/ui/ligacaocampo.h"

#include <QPlainTextEdit>

class DBMemo : public QPlainTextEdit, private LigacaoCampo::Controle
{
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    ~DBMemo() override;

    void liga(Dataset* dataset, const QString& campo) { ligacao_->liga(dataset, campo); }
    LigacaoCampo* ligacao() const { return ligacao_; }
    void setEditaAoDigitar(bool sim) { ligacao_->setEditaAoDigitar(sim); }
    void setSomenteLeitura(bool sim) { ligacao_->setSomenteLeitura(sim); }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void mostraCampo(Field* campo) override;
    void aplicaSomenteLeitura(bool somenteLeitura) override;
    void gravaCampo(Field& campo) override;
    bool vazio() const override;
    void configuraCampo(Field* campo) override;

    void aoMudarTexto();
    void poeTexto(const QString& texto);

    LigacaoCampo* ligacao_;
    int tamanho_ = 0;
    bool mostrando_ = false;
};
