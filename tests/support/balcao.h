#pragma once
// The counter screen over a fresh database with one registered consumer and the company, shown
// in an active window so that focus moves as the operator sees it; shared by the counter's tests.
#include "telas.h"
#include "testdb.h"

#include "common/global.h"
#include "data/arquivos.h"
#include "weighing/xPessagem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QtTest>

#include <memory>

namespace balcao {

const QString CPF_MARIA = QStringLiteral("12345678909");
const QString NOME_MARIA = QStringLiteral("MARIA DA CONCEIÇÃO D'ÁVILA");
const QDateTime MOMENTO(QDate(2026, 3, 14), QTime(11, 42, 7));
const QString SEM_CONSUMIDOR = QStringLiteral("Atenção!\nNão foi encontrado nenhum cliente utilizando este C.P.F.");

inline QString textoPdf(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// "insert into REFEICAO ..." for fixtures: key from the generator, like the screen's own.
inline QString refeicao(const QString& cpf, const QString& peso, const QString& exportadoEm = QStringLiteral("NULL"))
{
    return QStringLiteral("insert into REFEICAO (CPF, DATA, HORA, PESO, EXPORTADOEM) values ('%1', '2026-03-13', "
                          "'12:00:00', %2, %3);\n")
        .arg(cpf, peso, exportadoEm);
}

// The data module on a fresh database with one registered consumer and the company, and the
// screen over it, shown in an active window so that focus moves as the operator sees it.
struct Balcao
{
    TestDatabase db;
    std::unique_ptr<TDados> dados;
    std::unique_ptr<TPessagem> tela;

    explicit Balcao(const QString& script = QString())
    {
        db.exec(QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('%1', 'JOANA', 'F', '%2');\n"
                               "insert into EMPRESAS (ID, CNPJ, RAZAOSOCIAL, FANTASIA, CIDADE) values (1, "
                               "'11222333000181', 'RESTAURANTE POPULAR LTDA', 'RESTAURANTE POPULAR', 'TERESINA');\n")
                    .arg(QString(NOME_MARIA).replace(u'\'', QStringLiteral("''")), CPF_MARIA) +
                script);
        dados = std::make_unique<TDados>(db.settings());
        tela = std::make_unique<TPessagem>();
        tela->resize(1000, 700);
        tela->show();
        tela->activateWindow();
        if (!QTest::qWaitForWindowActive(tela.get())) qWarning("the screen did not become active");
    }

    template <class T = QWidget> T* w(const char* nome) const { return filho<T>(tela.get(), nome); }
    void clica(const char* botao) const { w<QAbstractButton>(botao)->click(); }
    QString id() const { return w<QLineEdit>("w_ID")->text(); }
    QString nome() const { return w<QLabel>("w_Nome")->text(); }
    QString estado() const { return w<QLabel>("Estado")->text(); }

    // Types into a box and leaves it, as the operator does. A box entered anew has its text
    // selected, as a click into it followed by Home would leave it.
    void digita(const char* caixa, const QString& texto, QWidget* depois = nullptr) const
    {
        QWidget* c = w(caixa);
        if (QApplication::focusWidget() != c) {
            c->setFocus();
            if (auto* e = qobject_cast<QLineEdit*>(c)) e->selectAll();
        }
        QTest::keyClicks(c, texto);
        (depois ? depois : w("w_Observacao"))->setFocus();
    }

    // One value of the database, read through a connection of its own.
    QVariant coluna(const QString& sql) const { return db.valor(sql); }
    int refeicoes() const { return coluna(QStringLiteral("select count(*) from REFEICAO")).toInt(); }
};

} // namespace balcao
