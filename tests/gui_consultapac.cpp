// The client search list on a real database: the delayed name search in its three modes, the
// all-digit CPF search, the accent and quote folding, the button searches with their default
// buttons, following the highlighted row, confirming and closing, and the row limit carried over.
#include "clients/Pacientes.h"
#include "clients/xConsultaListaPac.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/ui/dbgrid.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "data/atualizacao.h"
#include "testdb.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class ConsultaPacientes : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;
    DialogosRoteirizados caixas;
    std::unique_ptr<TConsultaListaPac> lista;

    // 150 MARIA SILVA nnn, 60 CARLOS SILVA nnn, 120 PEDRO nnn SOUZA and a few named ones.
    void clientes()
    {
        fb::Statement st(dados->fatura, dados->TransFatura,
                         "INSERT INTO CLIENTE (NOME, MAE, CPF, SEXO, IDENTIDADE, CELULAR) "
                         "VALUES (:NOME, :MAE, :CPF, 'F', :IDENTIDADE, :CELULAR)");
        int n = 0;
        auto insere = [&](const QString& nome, const QString& mae = QStringLiteral("MAE DE TESTE"),
                          const QVariant& identidade = {}, const QString& cpf = QString()) {
            st.setParameter("NOME", nome);
            st.setParameter("MAE", mae);
            st.setParameter("CPF", cpf.isEmpty() ? QStringLiteral("%1").arg(++n, 11, 10, QChar('0')) : cpf);
            st.setParameter("IDENTIDADE", identidade);
            st.setParameter("CELULAR", QStringLiteral("71987654321"));
            st.execute();
        };
        for (int i = 0; i < 150; ++i)
            insere(QStringLiteral("MARIA SILVA %1").arg(i, 3, 10, QChar('0')));
        for (int i = 0; i < 60; ++i)
            insere(QStringLiteral("CARLOS SILVA %1").arg(i, 3, 10, QChar('0')));
        for (int i = 0; i < 120; ++i)
            insere(QStringLiteral("PEDRO %1 SOUZA").arg(i, 3, 10, QChar('0')));
        insere("ANA D AVILA", "RITA D'ALVA", "MG-1");
        insere("JOSE DA SILVA", "MAE DE TESTE", "MG-2");
        insere("JOSE SILVA", "JOANA PRADO", "MG-3", "12345678909");
        insere("ZELIA SOUZA NETO");
        insere("LUCIA MOTA", "MAE DE TESTE", "mg-12.345.678"); // identity stored in lower case
        dados->TransFatura.commitRetaining();
    }
    QLineEdit* caixa(const char* nome) { return lista->findChild<QLineEdit*>(QString::fromLatin1(nome)); }
    QPushButton* botao(const char* nome) { return lista->findChild<QPushButton*>(QString::fromLatin1(nome)); }
    QStringList nomes()
    {
        Dataset& q = *lista->Query1;
        q.fetchAll();
        QStringList r;
        const int i = int(q.fields().indexOf(q.findField("NOME")));
        for (int row = 0; row < q.recordCount(); ++row)
            r << q.valueAt(row, i).toString();
        return r;
    }
    // Shows the list as ShowPaciente does, with the timer driven by the test.
    void mostra()
    {
        lista->show();
        lista->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(lista.get()));
        lista->Timer1->stop();
    }
    void busca(const QString& texto)
    {
        caixa("w_Busca")->setFocus();
        QTest::keyClicks(caixa("w_Busca"), texto);
        lista->Timer1->stop();
        for (int i = 0; i < 11; ++i)
            lista->Timer1Timer();
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        dados = std::make_unique<TDados>(db->settings());
        caixas.limpa();
        defineDialogos(&caixas);
        parametros().limpa();
        clientes();
        lista = std::make_unique<TConsultaListaPac>();
        lista->ShowPaciente(); // no modal answer queued: returns at once, the list is open from "A"
    }
    void cleanup()
    {
        lista.reset();
        defineDialogos(nullptr);
        dados.reset();
        db.reset();
        parametros().limpa();
    }

    void foldingAccentsAndQuotes_data()
    {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("saida");
        QTest::newRow("capitals") << "ÀÁÂÃÄ Ç ÈÉÊË ÌÍÎÏ Ñ ÒÓÔÕÖ ÙÚÛÜ"
                                  << "AAAAA C EEEE IIII N OOOOO UUUU";
        QTest::newRow("small") << "àáâãä ç èéêë ìíîï ñ òóôõö ùúûü"
                               << "aaaaa c eeee iiii n ooooo uuuu";
        QTest::newRow("apostrophe") << "D'AVILA"
                                    << "D AVILA";
        QTest::newRow("others stay") << "JOSE-1 %X_"
                                     << "JOSE-1 %X_";
    }
    void foldingAccentsAndQuotes()
    {
        QFETCH(QString, entrada);
        QFETCH(QString, saida);
        QCOMPARE(SemAcentoPac(entrada), saida);
    }

    void opensFromAWithTheFirstHundred()
    {
        QCOMPARE(lista->windowTitle(), QStringLiteral("Lista de Pacientes"));
        const QStringList n = nomes();
        QCOMPARE(n.size(), 100);
        QCOMPARE(n.first(), QStringLiteral("ANA D AVILA"));
        QVERIFY(std::is_sorted(n.begin(), n.end()));
        auto* grade = lista->findChild<DBGrid*>("DBGrid1");
        QStringList titulos;
        for (int c = 0; c < grade->model()->columnCount(); ++c)
            titulos << grade->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titulos, (QStringList{"Nome", "Codigo", "Telefone", "CPF", "Mãe"}));
        QCOMPARE(grade->model()->index(0, 2).data().toString(), QStringLiteral("(71) 98765-4321"));
        QCOMPARE(grade->selectionBehavior(), QAbstractItemView::SelectItems); // the cell, not the row
        mostra();
        busca("MAR");
        const QString pasta = qEnvironmentVariable("COMEDAL_CAPTURAS");
        if (!pasta.isEmpty()) lista->grab().save(pasta + "/lista-pacientes.png");
    }

    void nameSearch_data()
    {
        QTest::addColumn<bool>("parcial");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("linhas");
        QTest::addColumn<QString>("primeiro");
        QTest::addColumn<QString>("todos"); // ">=X", "contém X", "termina X" or ""
        QTest::newRow("positional MAR") << false << "MAR" << 100 << "MARIA SILVA 000"
                                        << ">=MAR";
        QTest::newRow("positional past the end") << false << "ZZZ" << 0 << ""
                                                 << "";
        QTest::newRow("partial SILVA") << true << "SILVA" << 200 << "CARLOS SILVA 000"
                                       << "contém SILVA";
        QTest::newRow("partial words in order") << true << "JOSE SILVA" << 2 << "JOSE DA SILVA"
                                                << "contém SILVA";
        QTest::newRow("own pattern, no limit") << false << "%SOUZA" << 120 << "PEDRO 000 SOUZA"
                                               << "termina SOUZA";
        QTest::newRow("all digits: the CPF") << false << "12345678909" << 1 << "JOSE SILVA"
                                             << "";
        QTest::newRow("CPF with punctuation is a name") << false << "123.456.789-09" << 100 << "ANA D AVILA"
                                                        << "";
        QTest::newRow("accent folded") << false << "JOSÉ SILVA" << 100 << "JOSE SILVA"
                                       << ">=JOSE SILVA";
        QTest::newRow("accent folded, partial") << true << "JOSÉ" << 2 << "JOSE DA SILVA"
                                                << "contém JOSE";
        QTest::newRow("quote folded") << true << "D'AVILA" << 1 << "ANA D AVILA"
                                      << "contém D AVILA";
        QTest::newRow("longer than any name") << false << QString(70, 'Z') << 0 << ""
                                              << "";
        QTest::newRow("long partial pattern") << true << "MARIA SILVA " + QString(40, 'X') << 0 << ""
                                              << "";
        QTest::newRow("lower case typed") << false << "pedro 119" << 2 << "PEDRO 119 SOUZA"
                                          << ">=PEDRO 119";
        // "%" and "_" typed inside a partial search are wildcards of the pattern
        QTest::newRow("partial with % inside") << true << "MARIA%SILVA 14" << 12 << "MARIA SILVA 014"
                                               << "contém MARIA SILVA";
        QTest::newRow("partial with _ inside") << true << "JOSE_DA" << 1 << "JOSE DA SILVA"
                                               << "contém JOSE DA";
        QTest::newRow("partial with % and _") << true << "PEDRO 1_9%SOUZA" << 2 << "PEDRO 109 SOUZA"
                                              << "termina SOUZA";
        QTest::newRow("partial, wildcards, nobody") << true << "SILVA%%%X" << 0 << ""
                                                    << "";
    }
    void nameSearch()
    {
        QFETCH(bool, parcial);
        QFETCH(QString, texto);
        QFETCH(int, linhas);
        QFETCH(QString, primeiro);
        QFETCH(QString, todos);
        mostra();
        lista->findChild<QCheckBox*>("w_BuscaParcial")->setChecked(parcial);
        busca(texto);
        QVERIFY(!lista->w_Stado);
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));
        const QStringList n = nomes();
        QCOMPARE(n.size(), linhas);
        if (linhas) QCOMPARE(n.first(), primeiro);
        QVERIFY(std::is_sorted(n.begin(), n.end()));
        for (const QString& nome : n) {
            if (todos.startsWith(">=")) QVERIFY2(nome >= todos.mid(2), qPrintable(nome));
            if (todos.startsWith("contém ")) QVERIFY2(nome.contains(todos.mid(7)), qPrintable(nome));
            if (todos.startsWith("termina ")) QVERIFY2(nome.endsWith(todos.mid(8)), qPrintable(nome));
        }
    }

    void searchWaitsForTheEleventhQuietTick()
    {
        mostra();
        caixa("w_Busca")->setFocus();
        QTest::keyClicks(caixa("w_Busca"), "PEDRO");
        lista->Timer1->stop();
        for (int i = 0; i < 10; ++i)
            lista->Timer1Timer();
        QCOMPARE(nomes().first(), QStringLiteral("ANA D AVILA")); // not yet
        QTest::keyClick(caixa("w_Busca"), Qt::Key_Space);         // a key restarts the pause
        lista->Timer1->stop();
        for (int i = 0; i < 10; ++i)
            lista->Timer1Timer();
        QCOMPARE(nomes().first(), QStringLiteral("ANA D AVILA"));
        lista->Timer1Timer();
        QCOMPARE(nomes().first(), QStringLiteral("PEDRO 000 SOUZA"));

        // an empty box never searches; the search stays pending
        caixa("w_Busca")->clear();
        for (int i = 0; i < 30; ++i)
            lista->Timer1Timer();
        QVERIFY(lista->w_Stado);
        QCOMPARE(nomes().first(), QStringLiteral("PEDRO 000 SOUZA"));
    }

    void theRealTimerSearches()
    {
        mostra();
        lista->Timer1->start();
        caixa("w_Busca")->setFocus();
        QTest::keyClicks(caixa("w_Busca"), "ZELIA");
        QTRY_COMPARE_WITH_TIMEOUT(nomes().value(0), QStringLiteral("ZELIA SOUZA NETO"), 5000);
        lista->close();
        QVERIFY(!lista->Timer1->isActive()); // closing stops it
    }

    void downAndUpFollowTheRows()
    {
        mostra();
        busca("MAR");
        QTest::keyClick(caixa("w_Busca"), Qt::Key_Down);
        QCOMPARE(lista->Query1->recNo(), 1);
        QCOMPARE(caixa("w_Busca")->text(), QStringLiteral("MARIA SILVA 001"));
        QVERIFY(lista->w_Stado); // the list will start at that name a moment later
        QTest::keyClick(caixa("w_Busca"), Qt::Key_Up);
        QCOMPARE(caixa("w_Busca")->text(), QStringLiteral("MARIA SILVA 000"));

        // with the operator's own pattern the box keeps it
        caixa("w_Busca")->clear();
        busca("%SOUZA");
        QTest::keyClick(caixa("w_Busca"), Qt::Key_Down);
        QCOMPARE(lista->Query1->recNo(), 1);
        QCOMPARE(caixa("w_Busca")->text(), QStringLiteral("%SOUZA"));
    }

    void highlightedRowFillsTheBoxesOutsideTheSearchBox()
    {
        mostra();
        caixa("Edit2")->setFocus(); // the focus away from w_Busca
        auto* grade = lista->findChild<DBGrid*>("DBGrid1");
        QTRY_VERIFY(grade->model()->rowCount() > 2); // rows reach the grid as it lays itself out
        grade->setCurrentIndex(grade->model()->index(2, 0));
        QCOMPARE(lista->Query1->recNo(), 2);
        QCOMPARE(caixa("w_Busca")->text(), nomes()[2]); // positional: the name too
        QCOMPARE(caixa("w_Busca1")->text(), QString());
        lista->Query1->first(); // ANA D AVILA carries identity MG-1
        QCOMPARE(caixa("w_Busca1")->text(), QStringLiteral("MG-1"));
        QCOMPARE(lista->CodigoPacNo(), lista->Query1->field("ID").asInteger());
        QCOMPARE(lista->MatriculaPacNo(), lista->Query1->field("CPF").asString());
    }

    void buttonSearches_data()
    {
        QTest::addColumn<QString>("caixaBusca");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("achado"); // "" for no row
        QTest::newRow("identity") << "w_Busca1"
                                  << "MG-2"
                                  << "JOSE DA SILVA";
        QTest::newRow("identity nobody has") << "w_Busca1"
                                             << "XX-0"
                                             << "";
        // the box upper-cases what is typed; the comparison ignores letter case
        QTest::newRow("identity stored in lower case") << "w_Busca1"
                                                       << "mg-12.345.678"
                                                       << "LUCIA MOTA";
        QTest::newRow("identity typed in lower case") << "w_Busca1"
                                                      << "mg-2"
                                                      << "JOSE DA SILVA";
        QTest::newRow("CPF") << "Edit1"
                             << "12345678909"
                             << "JOSE SILVA";
        QTest::newRow("CPF nobody has") << "Edit1"
                                        << "99999999999"
                                        << "";
    }
    void buttonSearches()
    {
        QFETCH(QString, caixaBusca);
        QFETCH(QString, valor);
        QFETCH(QString, achado);
        mostra();
        busca("PEDRO");
        lista->Timer1->start();
        const QString antes = caixa("w_Busca")->text();
        QLineEdit* c = caixa(caixaBusca.toLatin1().constData());
        c->setFocus();
        QTest::keyClicks(c, valor);
        QTest::keyClick(c, Qt::Key_Return); // Enter presses this box's "Buscar", not "&Ok"
        QVERIFY(lista->isVisible());
        QVERIFY(!lista->Timer1->isActive()); // off until the next key in w_Busca
        QVERIFY(caixas.caixas().isEmpty());
        const QStringList n = nomes();
        if (achado.isEmpty()) {
            QVERIFY(n.isEmpty());
            QCOMPARE(caixa("w_Busca")->text(), antes);
        } else {
            QCOMPARE(n, QStringList{achado});
            QCOMPARE(caixa("w_Busca")->text(), achado);
        }
        QTest::keyClick(caixa("w_Busca"), Qt::Key_End);
        QVERIFY(lista->Timer1->isActive());
    }

    // A database of the previous scripts, brought up to date by the set-up: the identity search runs
    // there through its new index and finds the document typed in either case.
    void identitySearchOnAnUpgradedDatabase()
    {
        lista.reset();
        dados.reset();
        TestDatabase antigo(QStringLiteral("tests/esquemas/local-1.0.sql"));
        antigo.exec("insert into CLIENTE (NOME, MAE, CPF, SEXO, IDENTIDADE) "
                    "values ('LUCIA MOTA', 'RITA', '11111111111', 'F', 'mg-12.345.678');");
        {
            fb::Attachment att = antigo.attach();
            atualizacao::aplica(att, atualizacao::Banco::Local);
        }
        struct Solta // the screen and its connection go before the database does
        {
            ConsultaPacientes* t;
            ~Solta()
            {
                t->lista.reset();
                t->dados.reset();
            }
        } solta{this};
        dados = std::make_unique<TDados>(antigo.settings());
        lista = std::make_unique<TConsultaListaPac>();
        lista->ShowPaciente();
        mostra();
        caixa("w_Busca1")->setFocus();
        QTest::keyClicks(caixa("w_Busca1"), "MG-12.345.678");
        QTest::keyClick(caixa("w_Busca1"), Qt::Key_Return);
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));
        QCOMPARE(nomes(), QStringList{"LUCIA MOTA"});
    }

    void buttonSearchByMother_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("achado");
        QTest::newRow("with a quote") << "rita d'alva"
                                      << "ANA D AVILA";
        QTest::newRow("nobody") << "NINGUEM"
                                << "";
        QTest::newRow("empty does nothing") << ""
                                            << "ANA D AVILA";
    }
    void buttonSearchByMother()
    {
        QFETCH(QString, valor);
        QFETCH(QString, achado);
        mostra();
        caixa("Edit2")->setFocus();
        QTest::keyClicks(caixa("Edit2"), valor);
        QCOMPARE(caixa("Edit2")->text(), valor.toUpper());
        QTest::mouseClick(botao("BitBtn6"), Qt::LeftButton);
        const QStringList n = nomes();
        if (achado.isEmpty())
            QVERIFY(n.isEmpty());
        else
            QCOMPARE(n.value(0), achado);
    }

    void defaultButtonFollowsTheBox()
    {
        mostra();
        QVERIFY(botao("BitBtn1")->isDefault());
        caixa("w_Busca1")->setFocus();
        QVERIFY(botao("BitBtn3")->isDefault());
        QVERIFY(!botao("BitBtn1")->isDefault());
        caixa("Edit1")->setFocus();
        QVERIFY(botao("BitBtn5")->isDefault());
        caixa("Edit2")->setFocus();
        QVERIFY(botao("BitBtn1")->isDefault());
        QVERIFY(!botao("BitBtn5")->isDefault());
        // Enter in the mother's box confirms the highlighted client
        QTest::keyClick(caixa("Edit2"), Qt::Key_Return);
        QVERIFY(!lista->isVisible());
        QCOMPARE(lista->result(), int(QDialog::Accepted));
    }

    void partialChoiceFromTheParameter_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<bool>("marcado");
        QTest::newRow("S") << "S" << true;
        QTest::newRow("N") << "N" << false;
        QTest::newRow("unset") << "" << false;
    }
    void partialChoiceFromTheParameter()
    {
        QFETCH(QString, valor);
        QFETCH(bool, marcado);
        parametros().VetorConfig = {"PadraoBuscaParcialPaciente"};
        parametros().VetorConfigVal = {valor};
        TConsultaListaPac outra;
        QCOMPARE(outra.findChild<QCheckBox*>("w_BuscaParcial")->isChecked(), marcado);
    }

    void rowLimitCarriesOverAfterAnOwnPattern()
    {
        mostra();
        busca("%SOUZA");
        QCOMPARE(nomes().size(), 120);
        lista->close();
        lista->ShowPaciente(); // from "A" again, now without a limit
        QCOMPARE(nomes().size(), 335);
        QCOMPARE(nomes().first(), QStringLiteral("ANA D AVILA"));
    }

    // ---- with the record screen

    void confirmingEscAndEnd_data()
    {
        QTest::addColumn<QString>("como");
        QTest::addColumn<bool>("muda");
        QTest::newRow("&Ok") << "ok" << true;
        QTest::newRow("Enter in the search box") << "enter" << true;
        QTest::newRow("double click") << "duplo" << true;
        QTest::newRow("Esc") << "esc" << false;
        QTest::newRow("&Fim") << "fim" << false;
        QTest::newRow("&Ok on an empty list") << "vazia" << false;
    }
    void confirmingEscAndEnd()
    {
        QFETCH(QString, como);
        QFETCH(bool, muda);
        auto* tela = new TCad_Cliente;
        tela->show();
        const qint64 antes = dados->Cliente->field("ID").asInteger();
        QString escolhido;
        caixas.respondeModal([&](QObject* janela) {
            auto* l = qobject_cast<TConsultaListaPac*>(janela);
            l->show();
            l->activateWindow();
            if (!QTest::qWaitForWindowActive(l)) qWarning("list not active");
            l->Timer1->stop();
            auto* busca = l->findChild<QLineEdit*>("w_Busca");
            busca->setFocus();
            QTest::keyClicks(busca, como == "vazia" ? "ZZZ" : "JOSE");
            for (int i = 0; i < 11; ++i)
                l->Timer1Timer();
            escolhido = l->MatriculaPacNo();
            auto* grade = l->findChild<DBGrid*>("DBGrid1");
            if (como == "ok" || como == "vazia")
                QTest::mouseClick(l->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
            if (como == "enter") QTest::keyClick(busca, Qt::Key_Return);
            if (como == "duplo") Q_EMIT grade->doubleClicked(grade->model()->index(0, 0));
            if (como == "esc") QTest::keyClick(busca, Qt::Key_Escape);
            if (como == "fim") QTest::mouseClick(l->findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
            if (l->isVisible()) qWarning("list still open");
            return l->result();
        });
        tela->BotaoNomeClick();
        QVERIFY(!tela->listaPacientes()->isVisible());
        if (muda) {
            QCOMPARE(dados->Cliente->field("CPF").asString(), escolhido);
            QCOMPARE(tela->listaPacientes()->result(), int(QDialog::Accepted));
        } else {
            QCOMPARE(dados->Cliente->field("ID").asInteger(), antes);
        }
        delete tela;
    }
};

QTEST_MAIN(ConsultaPacientes)
#include "gui_consultapac.moc"
