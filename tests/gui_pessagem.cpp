// The counter screen against a real database, a scale on a real pseudo-terminal and the receipt
// saved as a real PDF: a whole meal from Incluir to the receipt, the CPF checks, the export lock,
// deleting, "Ir Para", the list and its double-click, cancelling and correcting a meal.
#include "balcao.h"
#include "simuladorbalanca.h"
#include "telas.h"
#include "testdb.h"

#include "common/global.h"
#include "common/ui/dbedit.h"
#include "common/ui/dbgrid.h"
#include "common/ui/dialogosqt.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "weighing/xCupon.h"
#include "weighing/xPessagem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>
#include <utility>

Q_DECLARE_METATYPE(std::optional<QString>)

using namespace balcao;

class TelaPessagem : public QObject
{
    Q_OBJECT

    DialogosRoteirizados caixas;
    std::unique_ptr<SimuladorBalanca> balanca;

    void configura(Balcao& b) { b.tela->setPortaBalanca(balanca->caminho()); }

private Q_SLOTS:
    void initTestCase()
    {
        definePastaFiguras(QStringLiteral(COMEDAL_SOURCE_DIR "/figuras"));
        defineRelogio([] { return MOMENTO; });
        parametros().limpa();
    }
    void init()
    {
        caixas.limpa();
        defineDialogos(&caixas);
        sessao().UsuarioEmUso = QStringLiteral("7");
        balanca = std::make_unique<SimuladorBalanca>();
    }
    void cleanup()
    {
        balanca.reset();
        defineDialogos(nullptr);
    }
    void cleanupTestCase() { defineRelogio({}); }

    // The road of one meal: Incluir, the CPF, the scale, Confirmar, the receipt.
    void umaRefeicaoDoInicioAoCupom()
    {
        Balcao b(QStringLiteral("SET GENERATOR GEN_REFEICAO TO 56;\n"));
        configura(b);
        QTemporaryDir pasta;
        QList<std::optional<QString>> cupons; // the PDF of each print, nullopt when nothing was printed
        b.tela->mostraCupom = [&](TCupom& c) {
            const QString pdf = pasta.filePath(QStringLiteral("cupom%1.pdf").arg(cupons.size()));
            cupons << (c.salvarPdf(pdf) ? std::optional<QString>(pdf) : std::nullopt);
        };
        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.id(), QString()); // no meal yet

        b.clica("Incluir");
        QCOMPARE(b.estado(), QStringLiteral("Incluindo..."));
        for (const char* n : {"Confirmar", "NaoConfirmar", "BotaoPesar", "Imprimir"})
            QVERIFY2(b.w(n)->isEnabled(), n);
        for (const char* n :
             {"Incluir", "Alterar", "Excluir", "BotaoCodigo", "Button1", "Button2", "Button3", "Button4"})
            QVERIFY2(!b.w(n)->isEnabled(), n);
        QCOMPARE(QApplication::focusWidget(), b.w("w_CPF"));
        QCOMPARE(b.w<QLineEdit>("w_Data")->text(), QStringLiteral("14/03/2026"));
        QCOMPARE(b.w<QLineEdit>("w_Hora")->text(), QStringLiteral("11:42"));

        // Not confirmed yet: nothing to print, and the operator is told so.
        b.clica("Imprimir");
        QCOMPARE(cupons.size(), 0);
        QCOMPARE(caixas.textos(), QStringList{QStringLiteral("Confirme a refeição antes de imprimir o cupom.")});
        QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Simples);
        caixas.limpa();

        b.digita("w_CPF", CPF_MARIA);
        QCOMPARE(b.tela->Refeicao->field("CPF").asString(), CPF_MARIA);
        QCOMPARE(b.nome(), NOME_MARIA);

        balanca->responderSempre(SimuladorBalanca::peso(5.25));
        b.clica("BotaoPesar");
        QCOMPARE(balanca->pedidos(), 1);
        QCOMPARE(b.tela->Refeicao->field("PESO").asFloat(), 5.25);
        QCOMPARE(b.estado(), QStringLiteral("Incluindo...")); // nothing posted by the weighing
        QCOMPARE(
            b.w<QPlainTextEdit>("Memo1")->toPlainText().split(u'\n'),
            QStringList({QStringLiteral("✅ Ctrl+E enviado para COM3"), QString(), QStringLiteral("📥 DADOS RECEBIDOS:"),
                         QStringLiteral("Peso: 05.250"), QStringLiteral("Porta COM3 fechada"), QString(32, u'-')}));

        b.clica("Confirmar");
        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.id(), QStringLiteral("57"));
        QCOMPARE(b.nome(), NOME_MARIA);
        // Selected by the key the database gave it, not as the newest meal.
        QCOMPARE(b.tela->Refeicao->linha(1), QStringLiteral("WHERE ID = :ID"));
        const QString linha57 = QStringLiteral(
            "select CPF || '|' || DATA || '|' || HORA || '|' || PESO || '|' || USER1 || '|' || DATAUSER1 || '|' || "
            "coalesce(IP1, '') || '|' || VERSAO1 || '|' || coalesce(USER2, 'nulo') || '|' || "
            "coalesce(EXPORTADOEM, 'nulo') from REFEICAO where ID = 57");
        QCOMPARE(b.coluna(linha57).toString(),
                 QStringLiteral("12345678909|2026-03-14|11:42:07.0000|5.250|7|2026-03-14 11:42:07.0000|%1|%2|nulo|nulo")
                     .arg(b.dados->IpSistemaCentral, b.dados->VersaoSistemaCentral));
        // Committed at once: another connection sees it.
        QCOMPARE(b.refeicoes(), 1);

        b.clica("Imprimir");
        QCOMPARE(cupons.size(), 1);
        QVERIFY(cupons[0]);
        QCOMPARE(b.tela->cupom()->codigoBarras()->texto, QStringLiteral("000057"));
        const QString texto = textoPdf(*cupons[0]);
        for (const QString& esperado :
             {QStringLiteral("RESTAURANTE POPULAR"), QStringLiteral("123.456.789-09"), NOME_MARIA,
              QStringLiteral("Refeição"), QStringLiteral("5,250"), QStringLiteral("14/03/2026")})
            QVERIFY2(texto.contains(esperado), qPrintable(esperado + QStringLiteral(" not in:\n") + texto));

        QCOMPARE(caixas.textos(), QStringList()); // not one box on the way

        // Being corrected, it prints only once confirmed: the receipt would show the stored weight.
        balanca->responderSempre(SimuladorBalanca::peso(0.45));
        b.clica("BotaoPesar");
        QCOMPARE(b.estado(), QStringLiteral("Editando..."));
        b.clica("Imprimir");
        QCOMPARE(cupons.size(), 1);
        QCOMPARE(caixas.textos(), QStringList{QStringLiteral("Confirme a refeição antes de imprimir o cupom.")});
    }

    // Another counter stores its meal between this one's insert and the screen's move: the screen
    // shows, and the receipt carries, the meal just stored here, not the newest one.
    void outroBalcaoGravaNoMesmoMomento()
    {
        Balcao b(QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF) values ('JOSE DO OUTRO BALCAO', 'ANA', "
                                "'M', '52998224725');\nSET GENERATOR GEN_REFEICAO TO 56;\n"));
        configura(b);
        QTemporaryDir pasta;
        QString pdf;
        b.tela->mostraCupom = [&](TCupom& c) {
            const QString arquivo = pasta.filePath(QStringLiteral("cupom.pdf"));
            if (c.salvarPdf(arquivo)) pdf = arquivo;
        };
        const auto gravou = b.tela->Refeicao->afterPost;
        bool outro = false;
        b.tela->Refeicao->afterPost = [&](Dataset& d) {
            gravou(d);
            if (std::exchange(outro, true)) return;
            b.db.exec(refeicao(QStringLiteral("52998224725"), QStringLiteral("0.800")));
        };

        b.clica("Incluir");
        b.digita("w_CPF", CPF_MARIA);
        balanca->responderSempre(SimuladorBalanca::peso(5.25));
        b.clica("BotaoPesar");
        b.clica("Confirmar");
        QVERIFY(outro);
        QCOMPARE(b.coluna(QStringLiteral("select max(ID) from REFEICAO")).toInt(), 58); // the other counter's

        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.id(), QStringLiteral("57"));
        QCOMPARE(b.nome(), NOME_MARIA);
        QCOMPARE(b.w<QLineEdit>("w_Peso")->text(), QStringLiteral("5,25"));

        b.clica("Imprimir");
        QVERIFY(!pdf.isEmpty());
        QCOMPARE(b.tela->cupom()->codigoBarras()->texto, QStringLiteral("000057"));
        const QString texto = textoPdf(pdf);
        QVERIFY2(texto.contains(NOME_MARIA) && texto.contains(QStringLiteral("5,250")), qPrintable(texto));
        QVERIFY2(!texto.contains(QStringLiteral("JOSE DO OUTRO BALCAO")), qPrintable(texto));

        // The navigation goes on from the meal shown.
        b.clica("Button3");
        QCOMPARE(b.id(), QStringLiteral("58"));
        QCOMPARE(caixas.textos(), QStringList());
    }

    void cpfRecusado_data()
    {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<int>("apagado"); // position of a digit then deleted (Delete key), or -1
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("mensagem");
        const QString tamanho = QStringLiteral("Atenção. Deve-se Digitar C.P.F. Valido sem ., / ou - ");
        QTest::newRow("dez dígitos") << "1234567890" << -1 << int(TipoCaixa::Aviso) << tamanho;
        QTest::newRow("um dígito apagado no meio") << CPF_MARIA << 5 << int(TipoCaixa::Aviso) << tamanho;
        QTest::newRow("o primeiro dígito apagado") << CPF_MARIA << 0 << int(TipoCaixa::Aviso) << tamanho;
        QTest::newRow("dígitos repetidos")
            << "11111111111" << -1 << int(TipoCaixa::Erro) << "Número de C.P.F. Invalido.";
        QTest::newRow("dígito verificador errado")
            << "12345678900" << -1 << int(TipoCaixa::Erro) << "Número de C.P.F. Invalido.";
        QTest::newRow("válido sem consumidor") << "98765432100" << -1 << int(TipoCaixa::Aviso) << SEM_CONSUMIDOR;
    }
    void cpfRecusado()
    {
        QFETCH(QString, digitado);
        QFETCH(int, apagado);
        QFETCH(int, tipo);
        QFETCH(QString, mensagem);
        Balcao b;
        b.clica("Incluir");
        QLineEdit* cpf = b.w<QLineEdit>("w_CPF");
        QTest::keyClicks(cpf, digitado);
        if (apagado >= 0) {
            cpf->setCursorPosition(apagado);
            QTest::keyClick(cpf, Qt::Key_Delete);
        }
        const QString texto = cpf->displayText();
        b.w("w_Observacao")->setFocus();

        QCOMPARE(caixas.caixas().size(), 1);
        QCOMPARE(int(caixas.caixas()[0].tipo), tipo);
        QCOMPARE(caixas.caixas()[0].texto, mensagem);
        // The value is refused: the field keeps its previous (empty) value and the cursor stays in
        // the box, the typed text kept and selected, to be corrected by a digit.
        QVERIFY(b.tela->Refeicao->field("CPF").isNull());
        QCOMPARE(QApplication::focusWidget(), cpf);
        QCOMPARE(cpf->displayText(), texto);
        QVERIFY(cpf->hasSelectedText());
        QCOMPARE(b.nome(), QString());
        QCOMPARE(b.estado(), QStringLiteral("Incluindo..."));

        // Still refused when the operator tries to go on without correcting it.
        b.clica("Confirmar");
        QCOMPARE(caixas.caixas().size(), 2);
        QCOMPARE(caixas.caixas()[1].texto, mensagem);
        QCOMPARE(b.refeicoes(), 0);
        QCOMPARE(cpf->displayText(), texto);

        // The operator corrects it and goes on.
        cpf->selectAll();
        QTest::keyClick(cpf, Qt::Key_Backspace);
        b.digita("w_CPF", CPF_MARIA);
        QCOMPARE(b.tela->Refeicao->field("CPF").asString(), CPF_MARIA);
        QCOMPARE(b.nome(), NOME_MARIA);
        QCOMPARE(caixas.caixas().size(), 2);
    }

    // A refused CPF and the mouse on "Pesar" or "Confirmar", with the program's real boxes: the box
    // comes once, the button is not left drawn pressed under the finger lifted over the box, the
    // scale is not asked, and the cursor stays in the CPF box with the text typed.
    void cpfRecusadoEBotaoDoMouse_data()
    {
        QTest::addColumn<QString>("botao");
        QTest::addColumn<bool>("janelaFilha"); // inside the main window's area, as the program shows it
        QTest::newRow("Pesar") << "BotaoPesar" << false;
        QTest::newRow("Confirmar") << "Confirmar" << false;
        QTest::newRow("Pesar, janela filha") << "BotaoPesar" << true;
        QTest::newRow("Confirmar, janela filha") << "Confirmar" << true;
        QTest::newRow("Imprimir, janela filha") << "Imprimir" << true;
    }
    void cpfRecusadoEBotaoDoMouse()
    {
        QFETCH(QString, botao);
        QFETCH(bool, janelaFilha);
        DialogosQt reais;
        defineDialogos(&reais);
        Balcao b;
        configura(b);
        QMdiArea area;
        auto solta = qScopeGuard([&] { b.tela->setParent(nullptr); }); // the fixture owns the screen
        if (janelaFilha) {
            area.resize(1000, 700);
            area.addSubWindow(b.tela.get())->showMaximized();
            area.show();
            area.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&area));
        }
        balanca->responderSempre(SimuladorBalanca::peso(0.45));
        b.clica("Incluir");
        QLineEdit* cpf = b.w<QLineEdit>("w_CPF");
        QTest::keyClicks(cpf, QStringLiteral("1234567890"));
        const QString texto = cpf->displayText();

        QStringList vistas; // the boxes, as the operator sees them
        QTimer fecha;
        connect(&fecha, &QTimer::timeout, this, [&] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!caixa) return;
            vistas << caixa->text();
            QTest::mouseRelease(caixa, Qt::LeftButton); // the finger lifted while the box is up
            caixa->button(QMessageBox::Ok) ? caixa->button(QMessageBox::Ok)->click() : caixa->accept();
        });
        fecha.start(20);
        auto* b1 = b.w<QAbstractButton>(qPrintable(botao));
        QTest::mousePress(b1, Qt::LeftButton);
        if (vistas.isEmpty()) QTest::mouseRelease(b1, Qt::LeftButton);
        QTRY_COMPARE(vistas.size(), 1);
        QTest::qWait(100);
        fecha.stop();

        QCOMPARE(vistas, QStringList{QStringLiteral("Atenção. Deve-se Digitar C.P.F. Valido sem ., / ou - ")});
        QVERIFY(!b1->isDown());
        QCOMPARE(balanca->pedidos(), 0);
        QCOMPARE(b.tela->focusWidget(), cpf); // the window's cursor, back when the box has gone
        QCOMPARE(cpf->displayText(), texto);
        QCOMPARE(b.estado(), QStringLiteral("Incluindo..."));
        QCOMPARE(b.refeicoes(), 0);
    }

    void confirmarSemPesoNomeiaPeso()
    {
        Balcao b;
        b.clica("Incluir");
        b.digita("w_CPF", CPF_MARIA);
        b.clica("Confirmar");
        QCOMPARE(caixas.textos(), QStringList{QStringLiteral("Campo 'PESO' deve possuir um valor.")});
        QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Erro);
        QCOMPARE(b.estado(), QStringLiteral("Incluindo..."));
        QCOMPARE(b.refeicoes(), 0);
    }

    // Refusals that must not reach the scale. A meal exported by another workstation while the
    // screen showed it is refused as soon as the edit starts, and the screen then shows the mark.
    void pesagemRecusada_data()
    {
        QTest::addColumn<bool>("exportada");
        QTest::addColumn<bool>("outraEstacao"); // marked after the screen read the meal
        QTest::addColumn<QString>("acao");
        QTest::addColumn<QString>("mensagem");
        const QString bloqueio = QStringLiteral("Registro já foi Exportado impossivel modificar");
        QTest::newRow("pesar exportada") << true << false << "BotaoPesar" << bloqueio;
        QTest::newRow("alterar exportada") << true << false << "Alterar" << bloqueio;
        QTest::newRow("digitar na exportada") << true << false << "w_Observacao" << bloqueio;
        QTest::newRow("pesar exportada em outra estação") << true << true << "BotaoPesar" << bloqueio;
        QTest::newRow("alterar exportada em outra estação") << true << true << "Alterar" << bloqueio;
        QTest::newRow("digitar no C.P.F. da exportada em outra estação") << true << true << "w_CPF" << bloqueio;
        QTest::newRow("digitar na exportada em outra estação") << true << true << "w_Observacao" << bloqueio;
        QTest::newRow("pesar sem C.P.F.") << false << false << "BotaoPesar"
                                          << "Favor preencher primeiro o C.P.F. do consumidor";
    }
    void pesagemRecusada()
    {
        QFETCH(bool, exportada);
        QFETCH(bool, outraEstacao);
        QFETCH(QString, acao);
        QFETCH(QString, mensagem);
        const QString marca = QStringLiteral("'2026-03-13 18:00:00'");
        Balcao b(refeicao(CPF_MARIA, QStringLiteral("0.450"), outraEstacao ? QStringLiteral("NULL") : marca));
        configura(b);
        if (outraEstacao) {
            QCOMPARE(b.w<QLineEdit>("w_ExportadoEm")->text(), QString());
            b.db.exec(QStringLiteral("update REFEICAO set EXPORTADOEM = %1 where ID = 1").arg(marca));
        }
        balanca->responderSempre(SimuladorBalanca::peso(1.5));
        if (!exportada) b.clica("Incluir");
        QCOMPARE(b.estado(), exportada ? QStringLiteral("Navegando...") : QStringLiteral("Incluindo..."));
        if (acao.startsWith(u"w_")) {
            QWidget* caixa = b.w(qPrintable(acao));
            caixa->setFocus();
            QTest::keyClicks(caixa, acao == u"w_CPF" ? "1" : "x");
        } else {
            b.clica(qPrintable(acao));
        }

        QCOMPARE(caixas.textos(), QStringList{mensagem});
        QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Simples);
        QCOMPARE(balanca->pedidos(), 0);
        QCOMPARE(b.w<QPlainTextEdit>("Memo1")->toPlainText(), QString());
        QCOMPARE(b.estado(), exportada ? QStringLiteral("Navegando...") : QStringLiteral("Incluindo..."));
        if (exportada) {
            QCOMPARE(b.tela->Refeicao->field("PESO").asFloat(), 0.45);
            QCOMPARE(b.coluna("select OBSERVACAO from REFEICAO where ID = 1"), QVariant());
            QCOMPARE(b.w<QPlainTextEdit>("w_Observacao")->toPlainText(), QString());
            QCOMPARE(b.w<QLineEdit>("w_ExportadoEm")->text(), QStringLiteral("13/03/2026 18:00"));
            QCOMPARE(b.w<QLineEdit>("w_CPF")->text(), QStringLiteral("123.456.789-09"));
        }
    }

    void exclusao_data()
    {
        QTest::addColumn<bool>("exportada");
        QTest::addColumn<int>("resposta");
        QTest::addColumn<QStringList>("mensagens");
        QTest::addColumn<QString>("mostrada"); // the meal on screen afterwards
        QTest::addColumn<int>("restantes");
        const QStringList pergunta{QStringLiteral("Excluir Registro?")};
        QTest::newRow("a mais nova, Sim") << false << int(Botao::Sim) << pergunta << "2" << 2;
        QTest::newRow("a mais nova, Não") << false << int(Botao::Nao) << pergunta << "3" << 3;
        QTest::newRow("exportada") << true << int(Botao::Nenhum) // nothing asked
                                   << QStringList{QStringLiteral("Registro já foi Exportado impossivel Excluir")} << "3"
                                   << 3;
    }
    void exclusao()
    {
        QFETCH(bool, exportada);
        QFETCH(int, resposta);
        QFETCH(QStringList, mensagens);
        QFETCH(QString, mostrada);
        QFETCH(int, restantes);
        Balcao b(refeicao(CPF_MARIA, "1.1") + refeicao(CPF_MARIA, "1.2") +
                 refeicao(CPF_MARIA, "1.3", exportada ? QStringLiteral("'2026-03-13 18:00:00'") : "NULL"));
        QCOMPARE(b.id(), QStringLiteral("3"));
        if (resposta != Botao::Nenhum) caixas.responde(resposta);
        b.clica("Excluir");
        QCOMPARE(caixas.textos(), mensagens);
        QCOMPARE(b.id(), mostrada);
        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.refeicoes(), restantes);
        if (exportada) return;
        // The screen goes on from the meal it shows.
        b.clica("Button2");
        QCOMPARE(b.id(), QString::number(mostrada.toInt() - 1));
    }

    void irPara_data()
    {
        QTest::addColumn<std::optional<QString>>("resposta");
        QTest::addColumn<QString>("mostrada");
        QTest::addColumn<QStringList>("mensagens");
        const QStringList nada;
        QTest::newRow("zero") << std::optional<QString>("0") << "3" << nada;
        QTest::newRow("negativo") << std::optional<QString>("-5") << "3" << nada;
        QTest::newRow("brancos") << std::optional<QString>("   ") << "3" << nada;
        QTest::newRow("cancelado") << std::optional<QString>() << "3" << nada;
        QTest::newRow("existente") << std::optional<QString>(" 1 ") << "1" << nada;
        QTest::newRow("excluída") << std::optional<QString>("2") << "3"
                                  << QStringList{QStringLiteral("Registro não Encontrado!")};
        QTest::newRow("inexistente") << std::optional<QString>("999") << "3"
                                     << QStringList{QStringLiteral("Registro não Encontrado!")};
        QTest::newRow("não numérico") << std::optional<QString>("1 or 1=1") << "3"
                                      << QStringList{QStringLiteral("'1 or 1=1' não é um valor inteiro válido.")};
    }
    void irPara()
    {
        QFETCH(std::optional<QString>, resposta);
        QFETCH(QString, mostrada);
        QFETCH(QStringList, mensagens);
        Balcao b(refeicao(CPF_MARIA, "1.1") + refeicao(CPF_MARIA, "1.2") + refeicao(CPF_MARIA, "1.3") +
                 QStringLiteral("delete from REFEICAO where ID = 2;\n"));
        QCOMPARE(b.id(), QStringLiteral("3"));
        caixas.respondeEntrada(resposta);
        b.clica("BotaoCodigo");
        QCOMPARE(caixas.entradas().size(), 1);
        QCOMPARE(caixas.entradas()[0].titulo, QStringLiteral("Ir Para"));
        QCOMPARE(caixas.entradas()[0].rotulo, QStringLiteral("Codigo..."));
        QCOMPARE(caixas.entradas()[0].valorInicial, QString());
        QCOMPARE(caixas.textos(), mensagens);
        QCOMPARE(b.id(), mostrada);
        QCOMPARE(b.nome(), NOME_MARIA);
        QCOMPARE(b.refeicoes(), 2);
    }

    // The list re-read on showing it, NOME from the consumer, and a double-click opening a meal.
    void listagem()
    {
        Balcao b(refeicao("98765432100", "1.1") + refeicao(CPF_MARIA, "1.2") + refeicao(CPF_MARIA, "1.3"));
        // Meal 4 arrives from another workstation after the screen opened.
        b.db.exec(refeicao(CPF_MARIA, "1.4"));
        auto* abas = b.w<QTabWidget>("PageControl1");
        abas->setCurrentWidget(b.w("TabListagem"));
        auto* grade = b.w<DBGrid>("DBGrid1");
        QAbstractItemModel* m = grade->model();
        QTRY_COMPARE(m->rowCount(), 4);
        QStringList titulos;
        for (int c = 0; c < m->columnCount(); ++c)
            titulos << m->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titulos, QString("ID CPF NOME DATA HORA PESO OBSERVACAO USER1 DATAUSER1 IP1 VERSAO1 USER2 "
                                  "DATAUSER2 IP2 VERSAO2")
                              .split(u' '));
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("4"));
        QCOMPARE(m->index(0, 2).data().toString(), NOME_MARIA);
        QCOMPARE(m->index(3, 2).data().toString(), QString()); // CPF without consumer
        QCOMPARE(grade->horizontalHeader()->sectionSize(2), 238);
        QCOMPARE(grade->horizontalHeader()->sectionSize(6), 250);

        // Meal 2 is the third row of the list.
        const QModelIndex linha = m->index(2, 1);
        grade->scrollTo(linha);
        const QPoint ponto = grade->visualRect(linha).center();
        QTest::mouseClick(grade->viewport(), Qt::LeftButton, {}, ponto);
        QTest::mouseDClick(grade->viewport(), Qt::LeftButton, {}, ponto);
        QCOMPARE(abas->currentWidget(), b.w("Tela1"));
        QCOMPARE(b.id(), QStringLiteral("2"));
        QCOMPARE(b.nome(), NOME_MARIA);
        QCOMPARE(caixas.textos(), QStringList());

        // Navigation moves on from the meal opened.
        b.clica("Button3");
        QCOMPARE(b.id(), QStringLiteral("3"));
        QCOMPARE(b.nome(), NOME_MARIA);
        b.clica("Button1");
        QCOMPARE(b.id(), QStringLiteral("1"));
        QCOMPARE(caixas.textos(), QStringList{SEM_CONSUMIDOR}); // meal 1's consumer is not registered
        QCOMPARE(b.nome(), QString());
    }

    // An earlier meal corrected: cancelled once, then weighed again and confirmed with the "2" audit group.
    void correcaoDeRefeicao()
    {
        Balcao b(refeicao(CPF_MARIA, "0.450"));
        configura(b);
        b.clica("Alterar");
        QCOMPARE(b.estado(), QStringLiteral("Editando..."));
        b.digita("w_Observacao", QStringLiteral("sem arroz"), b.w("w_CPF"));
        caixas.responde(Botao::Nao);
        b.clica("NaoConfirmar");
        QCOMPARE(b.estado(), QStringLiteral("Editando..."));
        QCOMPARE(b.tela->Refeicao->field("OBSERVACAO").asString(), QStringLiteral("sem arroz"));
        caixas.responde(Botao::Sim);
        b.clica("NaoConfirmar");
        QCOMPARE(caixas.textos(), QStringList(2, QStringLiteral("Cancelar Atualizações no Registro?")));
        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.w<QPlainTextEdit>("w_Observacao")->toPlainText(), QString());
        caixas.limpa();

        // "Pesar" on a browsed meal opens it for change.
        balanca->responderSempre(SimuladorBalanca::peso(0.62));
        b.clica("BotaoPesar");
        QCOMPARE(b.estado(), QStringLiteral("Editando..."));
        QCOMPARE(b.tela->Refeicao->field("PESO").asFloat(), 0.62);
        QCOMPARE(b.coluna("select PESO from REFEICAO where ID = 1").toDouble(), 0.45); // nothing posted yet
        b.clica("Confirmar");
        QCOMPARE(b.estado(), QStringLiteral("Navegando..."));
        QCOMPARE(b.id(), QStringLiteral("1"));
        QCOMPARE(b.coluna("select PESO || '|' || coalesce(USER1, 'nulo') || '|' || USER2 || '|' || DATAUSER2 || "
                          "'|' || coalesce(IP2, '') || '|' || VERSAO2 from REFEICAO where ID = 1")
                     .toString(),
                 QStringLiteral("0.620|nulo|7|2026-03-14 11:42:07.0000|%1|%2")
                     .arg(b.dados->IpSistemaCentral, b.dados->VersaoSistemaCentral));
        QCOMPARE(caixas.textos(), QStringList());
    }

    // A meal whose consumer left the register: said once, and no other consumer's name beside it.
    void consumidorRemovido()
    {
        Balcao b(refeicao(CPF_MARIA, "1.1") + refeicao("98765432100", "1.2"));
        QCOMPARE(b.id(), QStringLiteral("2"));
        QCOMPARE(caixas.textos(), QStringList{SEM_CONSUMIDOR});
        QCOMPARE(b.nome(), QString());
        b.clica("Button2");
        QCOMPARE(b.id(), QStringLiteral("1"));
        QCOMPARE(b.nome(), NOME_MARIA);
        b.clica("Button4");
        QCOMPARE(b.id(), QStringLiteral("2"));
        QCOMPARE(b.nome(), QString());
        QCOMPARE(caixas.textos(), QStringList(2, SEM_CONSUMIDOR));
    }

    // Pictures of the three tabs for a person to look at: COMEDAL_TELAS names the folder.
    void telas()
    {
        const QString pasta = qEnvironmentVariable("COMEDAL_TELAS");
        if (pasta.isEmpty()) QSKIP("COMEDAL_TELAS not set");
        QDir().mkpath(pasta);
        Balcao b(refeicao(CPF_MARIA, "0.450") + refeicao(CPF_MARIA, "1.234") + refeicao(CPF_MARIA, "0.812") +
                 QStringLiteral("update REFEICAO set OBSERVACAO = 'sem feijão' where ID = 2;\n"));
        configura(b);
        b.clica("Incluir");
        b.digita("w_CPF", CPF_MARIA);
        balanca->responderSempre(SimuladorBalanca::peso(5.25));
        b.clica("BotaoPesar");
        b.clica("Confirmar");
        auto* abas = b.w<QTabWidget>("PageControl1");
        const char* nomes[] = {"registro", "listagem", "log"};
        for (int i = 0; i < 3; ++i) {
            abas->setCurrentIndex(i);
            QTest::qWait(50);
            QVERIFY(b.tela->grab().save(QStringLiteral("%1/pessagem-%2.png").arg(pasta, QLatin1String(nomes[i]))));
        }
    }
};

QTEST_MAIN(TelaPessagem)
#include "gui_pessagem.moc"
