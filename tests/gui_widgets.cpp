// The shared GUI layer against a real database: data-aware boxes following the dataset, masks,
// refused values, striped and lazily fetched grids, the record-screen state display and keys,
// the error report and the street-map lookup.
#include "common/dialogos.h"
#include "common/ui/cores.h"
#include "common/ui/dbcheckbox.h"
#include "common/ui/dbcombobox.h"
#include "common/ui/dbedit.h"
#include "common/ui/dbgrid.h"
#include "common/ui/dbimage.h"
#include "common/ui/dblookupcombobox.h"
#include "common/ui/dbmemo.h"
#include "common/ui/dbradiogroup.h"
#include "common/ui/dialogosqt.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "common/ui/traducao.h"
#include "testdb.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const QString MASCARA_CPF = QStringLiteral("000\\.000\\.000\\-00;0;_");

// A database with clients, and the client dataset on its own connection.
struct Base
{
    TestDatabase db;
    fb::Attachment att;
    fb::Transaction tra;
    Dataset cliente;

    explicit Base(const QStringList& nomes = {"ANA", "BRUNO", "CARLA"})
        : att(db.attach()), tra(att), cliente(QStringLiteral("Cliente"), &att, &tra)
    {
        QString script;
        int i = 0;
        for (const QString& n : nomes)
            script += QStringLiteral("insert into CLIENTE (NOME, MAE, SEXO, CPF, ATIVO) values ('%1', 'MAE', 'F', "
                                     "'%2', 'S');\n")
                          .arg(n)
                          .arg(12345678900 + ++i);
        if (!script.isEmpty()) db.exec(script);
        cliente.setSQL({"select * from CLIENTE", "WHERE ID > 0", "ORDER BY ID"});
        cliente.setTabela("CLIENTE", "ID");
        cliente.afterPost = [this](Dataset&) { tra.commitRetaining(); };
        cliente.afterDelete = [this](Dataset&) { tra.commitRetaining(); };
    }

    QVariant coluna(const QString& sql)
    {
        fb::Transaction t(att);
        fb::Statement s(att, t, sql);
        s.execute();
        return s.fetch() ? s.value(0) : QVariant();
    }
};

// A shown, active window holding the widgets, so that focus moves as for the user.
struct Janela : QWidget
{
    QVBoxLayout* layout = new QVBoxLayout(this);
    template <class W> W* poe(W* w)
    {
        layout->addWidget(w);
        return w;
    }
    bool mostra()
    {
        show();
        activateWindow();
        return QTest::qWaitForWindowActive(this);
    }
};

QColor corDoFundo(const QWidget* w)
{
    return w->palette().color(QPalette::Base);
}

} // namespace

class Widgets : public QObject
{
    Q_OBJECT

    DialogosRoteirizados caixas;

private Q_SLOTS:
    void init()
    {
        caixas.limpa();
        defineDialogos(&caixas);
        defineAbridorEnderecos({});
    }

    void caixaSegueNavegacaoEEstado()
    {
        Base b;
        Janela j;
        auto* nome = j.poe(new DBEdit);
        auto* outro = j.poe(new QLineEdit);
        nome->liga(&b.cliente, "NOME");
        QVERIFY(nome->isReadOnly()); // closed dataset
        QCOMPARE(nome->text(), QString());
        b.cliente.open();
        QVERIFY(j.mostra());
        QCOMPARE(nome->text(), QStringLiteral("ANA"));
        QCOMPARE(nome->maxLength(), 50);
        QVERIFY(nome->isReadOnly()); // browsing: a change starts only with Alterar
        b.cliente.next();
        QCOMPARE(nome->text(), QStringLiteral("BRUNO"));

        // Typing while browsing changes nothing.
        nome->setFocus();
        QTest::keyClicks(nome, "X");
        QCOMPARE(nome->text(), QStringLiteral("BRUNO"));
        QCOMPARE(b.cliente.state(), EstadoDataset::Browse);

        b.cliente.edit();
        QVERIFY(!nome->isReadOnly());
        nome->setCursorPosition(5);
        QTest::keyClicks(nome, "Z");
        outro->setFocus(); // leaving writes the text
        QCOMPARE(b.cliente["NOME"].asString(), QStringLiteral("BRUNOZ"));
        b.cliente.cancel();
        QCOMPARE(nome->text(), QStringLiteral("BRUNO"));
        QVERIFY(nome->isReadOnly());

        // A screen that edits on typing: the first key opens the record and stays typed.
        nome->setEditaAoDigitar(true);
        QVERIFY(!nome->isReadOnly());
        nome->setFocus();
        nome->setCursorPosition(5);
        QTest::keyClicks(nome, "S");
        QCOMPARE(b.cliente.state(), EstadoDataset::Edit);
        QCOMPARE(nome->text(), QStringLiteral("BRUNOS"));
        QTest::keyClick(nome, Qt::Key_Return); // Enter writes too
        QCOMPARE(b.cliente["NOME"].asString(), QStringLiteral("BRUNOS"));
        b.cliente.post();
        QCOMPARE(b.coluna("select NOME from CLIENTE where ID = 2").toString(), QStringLiteral("BRUNOS"));

        b.cliente.close();
        QCOMPARE(nome->text(), QString());
        QVERIFY(nome->isReadOnly());
        QVERIFY(caixas.caixas().isEmpty());
    }

    void mascaraGuardaSoOsDigitos()
    {
        Base b;
        b.cliente["CPF"].setEditMask(MASCARA_CPF);
        Janela j;
        auto* cpf = j.poe(new DBEdit);
        auto* outro = j.poe(new QLineEdit);
        cpf->liga(&b.cliente, "CPF");
        b.cliente.open();
        QVERIFY(j.mostra());
        QCOMPARE(cpf->displayText(), QStringLiteral("123.456.789-01"));

        b.cliente.edit();
        cpf->setFocus();
        cpf->selectAll();
        QTest::keyClick(cpf, Qt::Key_Delete);
        cpf->setCursorPosition(0);
        QTest::keyClicks(cpf, "98765432100");
        QCOMPARE(cpf->displayText(), QStringLiteral("987.654.321-00"));
        outro->setFocus();
        QCOMPARE(b.cliente["CPF"].asString(), QStringLiteral("98765432100"));
        b.cliente.post();
        QCOMPARE(b.coluna("select CPF from CLIENTE where ID = 1").toString(), QStringLiteral("98765432100"));

        // Required positions left blank: the mask's error, the text stays to be completed.
        b.cliente.edit();
        cpf->setFocus();
        cpf->selectAll();
        QTest::keyClick(cpf, Qt::Key_Delete);
        cpf->setCursorPosition(0);
        QTest::keyClicks(cpf, "123");
        outro->setFocus();
        QCOMPARE(caixas.textos(),
                 QStringList{"Valor de entrada inválido. Use a tecla Esc para abandonar as alterações."});
        QCOMPARE(b.cliente["CPF"].asString(), QStringLiteral("98765432100"));
        QCOMPARE(cpf->displayText(), QStringLiteral("123.___.___-__"));
        QTRY_VERIFY(cpf->hasFocus());
        QTest::keyClick(cpf, Qt::Key_Escape); // abandons the typed text
        QCOMPARE(cpf->displayText(), QStringLiteral("987.654.321-00"));
    }

    void valorRecusadoVoltaNaCaixa_data()
    {
        QTest::addColumn<bool>("validacaoComMensagem");
        QTest::addColumn<QStringList>("caixasEsperadas");
        QTest::newRow("validation with its own box: silent after it") << true << QStringList{"Nome inválido"};
        QTest::newRow("other error: the error report") << false << QStringList{"Falhou a gravação."};
    }
    void valorRecusadoVoltaNaCaixa()
    {
        QFETCH(bool, validacaoComMensagem);
        QFETCH(QStringList, caixasEsperadas);
        Base b;
        b.cliente["NOME"].onValidate = [&](Field& f) {
            if (f.asString() != QStringLiteral("ANAX")) return;
            if (validacaoComMensagem) {
                erro("Nome inválido");
                throw Abort();
            }
            throw fb::Error("Falhou a gravação");
        };
        Janela j;
        auto* nome = j.poe(new DBEdit);
        auto* outro = j.poe(new QLineEdit);
        nome->liga(&b.cliente, "NOME");
        b.cliente.open();
        QVERIFY(j.mostra());
        b.cliente.edit();
        nome->setFocus();
        nome->setCursorPosition(3);
        QTest::keyClicks(nome, "X");
        outro->setFocus();
        QCOMPARE(nome->text(), QStringLiteral("ANA"));
        QCOMPARE(b.cliente["NOME"].asString(), QStringLiteral("ANA"));
        QCOMPARE(caixas.textos(), caixasEsperadas);
        if (!validacaoComMensagem) {
            QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Erro);
            QCOMPARE(caixas.caixas()[0].titulo, QStringLiteral("gui_widgets"));
        }
        QCOMPARE(b.cliente.state(), EstadoDataset::Edit); // the record stays as it was
    }

    void outrosControlesGravamSeusValores()
    {
        Base b;
        b.db.exec("update CLIENTE set UF = 26, OBSERVACAO = 'linha 1' where ID = 1;"); // Sergipe
        Dataset uf("UF", &b.att, &b.tra);
        uf.setSQL({"SELECT ID, UF, NOME", "FROM UNIDADEFEDERACAO", "ORDER BY NOME"});
        uf.open();
        Janela j;
        auto* ativo = j.poe(new DBCheckBox);
        auto* sexo = j.poe(new DBRadioGroup);
        auto* lista = j.poe(new DBComboBox);
        auto* estado = j.poe(new DBLookupComboBox);
        auto* obs = j.poe(new DBMemo);
        ativo->liga(&b.cliente, "ATIVO");
        sexo->setItens({"Masculino", "Feminino"}, {"M", "F"});
        sexo->liga(&b.cliente, "SEXO");
        lista->setItens({"M", "F"});
        lista->liga(&b.cliente, "SEXO");
        estado->setLista(&uf, "ID", "NOME");
        estado->liga(&b.cliente, "UF");
        obs->liga(&b.cliente, "OBSERVACAO");
        b.cliente.open();
        QVERIFY(j.mostra());

        QVERIFY(ativo->isChecked());
        QCOMPARE(sexo->indice(), 1);
        QCOMPARE(lista->currentText(), QStringLiteral("F"));
        QCOMPARE(estado->currentText(), QStringLiteral("Sergipe"));
        QCOMPARE(obs->toPlainText(), QStringLiteral("linha 1"));

        // While browsing a click changes nothing.
        ativo->click();
        QVERIFY(ativo->isChecked());
        sexo->botao(0)->click();
        QCOMPARE(sexo->indice(), 1);
        QCOMPARE(b.cliente.state(), EstadoDataset::Browse);

        b.cliente.edit();
        ativo->click();
        QVERIFY(!ativo->isChecked());
        QCOMPARE(b.cliente["ATIVO"].asString(), QStringLiteral("N"));
        sexo->botao(0)->click();
        QCOMPARE(b.cliente["SEXO"].asString(), QStringLiteral("M"));
        QCOMPARE(lista->currentText(), QStringLiteral("M")); // the other box on SEXO follows
        const int bahia = estado->findText(QStringLiteral("Bahia"));
        estado->setCurrentIndex(bahia);
        Q_EMIT estado->activated(bahia);
        QCOMPARE(b.cliente["UF"].asInteger(), 5);
        obs->setFocus();
        obs->moveCursor(QTextCursor::End);
        QTest::keyClick(obs, Qt::Key_Return); // a new line, not the next field
        QTest::keyClicks(obs, "linha 2");
        ativo->setFocus();
        b.cliente.post();
        QCOMPARE(b.coluna("select ATIVO || SEXO || UF from CLIENTE where ID = 1").toString(), QStringLiteral("NM5"));
        QCOMPARE(QString::fromUtf8(b.coluna("select OBSERVACAO from CLIENTE where ID = 1").toByteArray()),
                 QStringLiteral("linha 1\nlinha 2"));

        // A value outside the items shows none.
        b.cliente.edit();
        b.cliente["SEXO"].setValue("X");
        QCOMPARE(sexo->indice(), -1);
        QCOMPARE(lista->currentIndex(), -1);
        b.cliente.cancel();
        QCOMPARE(sexo->indice(), 0);
    }

    void informacaoDoCampo()
    {
        Base b;
        Dataset uf("UF", &b.att, &b.tra);
        uf.setSQL({"SELECT ID, UF, NOME", "FROM UNIDADEFEDERACAO", "ORDER BY NOME"});
        uf.open();
        Janela j;
        auto* cpf = j.poe(new DBEdit);
        auto* apelido = j.poe(new DBEdit);
        auto* estado = j.poe(new DBLookupComboBox);
        auto* ativo = j.poe(new DBCheckBox);
        cpf->liga(&b.cliente, "CPF");
        apelido->liga(&b.cliente, "APELIDO");
        estado->setLista(&uf, "ID", "NOME");
        estado->liga(&b.cliente, "RGUF");
        ativo->liga(&b.cliente, "ATIVO");
        b.cliente.open();
        const QString cr(QChar(13));
        QCOMPARE(InformacaoCampo(cpf), "INFORMAÇÕES SOBRE O CAMPO" + cr + cr + "Nome do Campo:CPF" + cr +
                                           "Tabela:CLIENTE" + cr + "CAMPO OBRIGATóRIO");
        QVERIFY(InformacaoCampo(apelido).endsWith("CAMPO NãO OBRIGATóRIO"));
        QVERIFY(InformacaoCampo(estado).endsWith("CAMPO NãO OBRIGATóRIO" + cr + cr +
                                                 "O valor do campo acima vem do campo ID" + cr +
                                                 "que esta na Tabela UF"));
        QCOMPARE(InformacaoCampo(ativo), QString());
        QCOMPARE(InformacaoCampo(new QLineEdit(&j)), QString());
    }

    void figuraCarregadaDeArquivo()
    {
        Base b;
        Janela j;
        auto* foto = j.poe(new DBImage);
        foto->liga(&b.cliente, "FOTO");
        b.cliente.open();
        QVERIFY(!foto->temImagem());

        // Not a picture: reported, the record stays as it was.
        QTemporaryFile texto;
        QVERIFY(texto.open());
        texto.write("isto não é uma imagem");
        texto.close();
        caixas.respondeArquivo(texto.fileName());
        QVERIFY(!foto->escolheArquivo());
        QCOMPARE(b.cliente.state(), EstadoDataset::Browse);
        QCOMPARE(caixas.textos().size(), 1);
        QVERIFY(caixas.textos()[0].contains(QStringLiteral("não contém uma imagem válida")));

        // A bitmap chosen while browsing opens the record for change first.
        const QString bmp = QStringLiteral(COMEDAL_SOURCE_DIR "/figuras/gravar.bmp");
        caixas.respondeArquivo(bmp);
        QVERIFY(foto->escolheArquivo());
        QCOMPARE(caixas.arquivosPedidos(), QStringList({"Abrir", "Abrir"}));
        QCOMPARE(b.cliente.state(), EstadoDataset::Edit);
        QVERIFY(foto->temImagem());
        QCOMPARE(foto->pixmap().size(), QSize(24, 24));
        b.cliente.post();
        QFile f(bmp);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(b.coluna("select FOTO from CLIENTE where ID = 1").toByteArray(), f.readAll());

        caixas.respondeArquivo(QString()); // cancelled: nothing happens
        QVERIFY(!foto->escolheArquivo());
        QCOMPARE(b.cliente.state(), EstadoDataset::Browse);
    }

    void abasColoridas()
    {
        QTabWidget abas;
        abas.addTab(new QWidget, QStringLiteral("Cadastro"));
        abas.addTab(new QWidget, QStringLiteral("Outros"));
        abas.resize(400, 200);
        pintaAbas(&abas, {QColor(0x00, 0x80, 0x00), QColor(0xFF, 0x80, 0x00)}, {QColor(), QColor(Qt::black)});
        abas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&abas));
        auto fundo = [&](int i) {
            const QImage img = abas.tabBar()->grab().toImage();
            const QRect r = abas.tabBar()->tabRect(i);
            return QColor(img.pixel(r.right() - 5, r.bottom() - 5));
        };
        QCOMPARE(fundo(0), QColor(0x00, 0x80, 0x00));
        QCOMPARE(fundo(1), QColor(0xFF, 0x80, 0x00));
        abas.setCurrentIndex(1); // the active tab is the highlighted one
        QCOMPARE(abas.tabBar()->property("abaDestacada").toInt(), 1);
    }

    void gradeListrada()
    {
        Base b;
        cores().CorDBGrid = QColor(0xCC, 0xEA, 0xC8);
        cores().CorSelecao = QColor(0x4E, 0x6B, 0x0A);
        Janela j;
        auto* grade = j.poe(new DBGrid);
        grade->adicionaColuna("NOME", "Nome", 200);
        grade->adicionaColuna("ID", "Codigo", 80);
        grade->liga(&b.cliente);
        b.cliente.open();
        j.resize(400, 300);
        QVERIFY(j.mostra());
        QCOMPARE(grade->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nome"));
        QCOMPARE(grade->horizontalHeader()->sectionSize(0), 200);

        b.cliente.last(); // the grid follows the dataset
        QCOMPARE(grade->currentIndex().row(), 2);
        const QImage img = grade->viewport()->grab().toImage();
        auto fundo = [&](int linha) {
            const QRect r = grade->visualRect(grade->model()->index(linha, 0));
            return QColor(img.pixel(r.right() - 4, r.center().y()));
        };
        QCOMPARE(fundo(0), QColor(0xCC, 0xEA, 0xC8)); // record 1: odd
        QCOMPARE(fundo(1), QColor(Qt::white));        // record 2: even
        QCOMPARE(fundo(2), QColor(0x4E, 0x6B, 0x0A)); // selected, whatever its number

        // The dataset follows the selection.
        grade->setCurrentIndex(grade->model()->index(1, 1));
        QCOMPARE(b.cliente.recNo(), 1);
        QCOMPARE(b.cliente["NOME"].asString(), QStringLiteral("BRUNO"));
        QCOMPARE(grade->campoSelecionado()->fieldName(), QStringLiteral("ID"));
    }

    void gradeBuscaLinhasAosPoucos()
    {
        Base b(QStringList{});
        b.db.exec(
            "SET TERM ^ ;\n"
            "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 3000) DO BEGIN "
            "INSERT INTO CLIENTE (NOME, MAE, SEXO, CPF) VALUES ('CLIENTE ' || :I, 'MAE', 'F', LPAD(:I, 11, '0')); "
            "I = I + 1; END END^\n"
            "SET TERM ; ^\n");
        Janela j;
        auto* grade = j.poe(new DBGrid);
        grade->adicionaColuna("NOME");
        grade->liga(&b.cliente);
        b.cliente.open();
        j.resize(400, 300);
        QVERIFY(j.mostra());
        QCoreApplication::processEvents();
        QVERIFY(!b.cliente.allFetched());
        QVERIFY(b.cliente.recordCount() < 3000);
        QCOMPARE(grade->model()->rowCount(), b.cliente.recordCount());
        const int primeiras = b.cliente.recordCount();

        grade->scrollToBottom(); // scrolling asks for more
        QCoreApplication::processEvents();
        QTRY_VERIFY(b.cliente.recordCount() > primeiras);
        QVERIFY(!b.cliente.allFetched());
        QCOMPARE(grade->model()->rowCount(), b.cliente.recordCount());
        QCOMPARE(grade->currentIndex().row(), 0); // appended rows keep the position

        b.cliente.last();
        QCOMPARE(grade->model()->rowCount(), 3000);
        QCOMPARE(grade->currentIndex().row(), 2999);
        QCOMPARE(grade->model()->index(2999, 0).data().toString(), QStringLiteral("CLIENTE 2999"));
    }

    void estadoDaTela_data()
    {
        QTest::addColumn<int>("estado");
        QTest::addColumn<bool>("direitoExcluir");
        QTest::addColumn<QString>("rotulo");
        QTest::addColumn<QList<bool>>("habilitados"); // navigation, Incluir, Alterar, Excluir, Confirmar, só incluindo
        QTest::newRow("browsing") << int(EstadoDataset::Browse) << true << "Navegando..."
                                  << QList<bool>{true, true, true, true, false, false};
        QTest::newRow("browsing, no delete right") << int(EstadoDataset::Browse) << false << "Navegando..."
                                                   << QList<bool>{true, true, true, false, false, false};
        QTest::newRow("inserting") << int(EstadoDataset::Insert) << true << "Incluindo..."
                                   << QList<bool>{false, false, false, false, true, true};
        QTest::newRow("editing") << int(EstadoDataset::Edit) << true << "Editando..."
                                 << QList<bool>{false, false, false, false, true, false};
    }
    void estadoDaTela()
    {
        QFETCH(int, estado);
        QFETCH(bool, direitoExcluir);
        QFETCH(QString, rotulo);
        QFETCH(QList<bool>, habilitados);
        Base b;
        QWidget tela;
        auto* primeiro = new QToolButton(&tela);
        auto* incluir = new QToolButton(&tela);
        auto* alterar = new QToolButton(&tela);
        auto* excluir = new QToolButton(&tela);
        auto* confirmar = new QToolButton(&tela);
        auto* naoConfirmar = new QToolButton(&tela);
        auto* copia = new QToolButton(&tela);
        auto* estadoRotulo = new QLabel(QStringLiteral("Navegando"), &tela);
        TelaCadastro t(&tela, &b.cliente);
        t.podeExcluir = [&] { return direitoExcluir; };
        t.defineNavegacao({primeiro});
        t.defineAcoes(incluir, alterar, excluir);
        t.defineConfirmacao(confirmar, naoConfirmar);
        t.defineSoIncluindo({copia});
        t.defineRotuloEstado(estadoRotulo);
        b.cliente.open();
        if (estado == int(EstadoDataset::Insert))
            b.cliente.append();
        else if (estado == int(EstadoDataset::Edit))
            b.cliente.edit();
        QCOMPARE(estadoRotulo->text(), rotulo);
        const QList<bool> vistos{primeiro->isEnabled(), incluir->isEnabled(),   alterar->isEnabled(),
                                 excluir->isEnabled(),  confirmar->isEnabled(), copia->isEnabled()};
        QCOMPARE(vistos, habilitados);
        QCOMPARE(naoConfirmar->isEnabled(), confirmar->isEnabled());
    }

    void botoesPadrao()
    {
        Base b;
        Janela j;
        auto* nome = j.poe(new DBEdit);
        auto* incluir = j.poe(new QToolButton);
        auto* alterar = j.poe(new QToolButton);
        auto* excluir = j.poe(new QToolButton);
        auto* confirmar = j.poe(new QToolButton);
        auto* naoConfirmar = j.poe(new QToolButton);
        nome->liga(&b.cliente, "NOME");
        TelaCadastro t(&j, &b.cliente);
        t.defineAcoes(incluir, alterar, excluir);
        t.defineConfirmacao(confirmar, naoConfirmar);
        t.conectaBotoes();
        int incluidos = 0;
        t.aoIncluir = [&] { ++incluidos; };
        b.cliente.open();
        QVERIFY(j.mostra());

        // Confirmar with text still in the box (a tool button takes no focus): written, then posted.
        QTest::mouseClick(alterar, Qt::LeftButton);
        QCOMPARE(b.cliente.state(), EstadoDataset::Edit);
        nome->setFocus();
        nome->setCursorPosition(3);
        QTest::keyClicks(nome, "NA");
        QTest::mouseClick(confirmar, Qt::LeftButton);
        QCOMPARE(b.cliente.state(), EstadoDataset::Browse);
        QCOMPARE(b.coluna("select NOME from CLIENTE where ID = 1").toString(), QStringLiteral("ANANA"));

        // Cancelling asks; No keeps the change going.
        QTest::mouseClick(alterar, Qt::LeftButton);
        caixas.responde(Botao::Nao);
        QTest::mouseClick(naoConfirmar, Qt::LeftButton);
        QCOMPARE(b.cliente.state(), EstadoDataset::Edit);
        caixas.responde(Botao::Sim);
        QTest::mouseClick(naoConfirmar, Qt::LeftButton);
        QCOMPARE(b.cliente.state(), EstadoDataset::Browse);
        QCOMPARE(caixas.textos(), QStringList({"Deseja Cancelar Atualização?", "Deseja Cancelar Atualização?"}));
        QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Confirmacao);

        // A post refused by the database keeps the record in change and reaches the report.
        QTest::mouseClick(incluir, Qt::LeftButton);
        QCOMPARE(incluidos, 1);
        QCOMPARE(b.cliente.state(), EstadoDataset::Insert);
        QTest::mouseClick(confirmar, Qt::LeftButton);
        QCOMPARE(b.cliente.state(), EstadoDataset::Insert);
        QCOMPARE(caixas.textos().last(), QStringLiteral("Campo 'NOME' deve possuir um valor."));
        caixas.responde(Botao::Sim);
        QTest::mouseClick(naoConfirmar, Qt::LeftButton);

        // Excluir asks, deletes and shows the last record.
        caixas.limpa();
        caixas.responde(Botao::Sim);
        QTest::mouseClick(excluir, Qt::LeftButton);
        QCOMPARE(caixas.textos(), QStringList{"Excluir Registro?"});
        QCOMPARE(b.coluna("select count(*) from CLIENTE").toInt(), 2);
        QCOMPARE(nome->text(), QStringLiteral("CARLA"));
    }

    void teclasECoresDoFoco()
    {
        Base b;
        b.cliente["CPF"].setEditMask(MASCARA_CPF);
        Janela j;
        auto* nome = j.poe(new DBEdit);
        auto* cpf = j.poe(new DBEdit);
        auto* codigo = j.poe(new DBEdit);
        auto* memo = j.poe(new DBMemo);
        auto* fim = j.poe(new DBEdit);
        nome->liga(&b.cliente, "NOME");
        cpf->liga(&b.cliente, "CPF");
        codigo->liga(&b.cliente, "ID");
        memo->liga(&b.cliente, "OBSERVACAO");
        fim->liga(&b.cliente, "APELIDO");
        TelaCadastro::defineMarca(codigo, 10);
        TelaCadastro::defineMarca(fim, 1);
        TelaCadastro t(&j, &b.cliente);
        int f6 = 0;
        t.defineTecla(
            Qt::Key_F6, [&] { ++f6; }, true);
        t.ativaEnterAvanca({memo});
        TelaCadastro::RegraCores regra;
        regra.marcaIgnorada = 10;
        regra.obrigatoriosVazios = true;
        t.ativaCoresFoco(regra);
        b.cliente.open();
        QVERIFY(j.mostra());

        nome->setFocus();
        QTest::keyClick(nome, Qt::Key_F6); // browsing: the go-to-code action
        QCOMPARE(f6, 1);
        QCOMPARE(corDoFundo(nome), QColor(0xDF, 0xEE, 0xF7));
        QCOMPARE(corDoFundo(cpf), QColor(0xE2, 0xE2, 0xC5));
        QCOMPARE(corDoFundo(fim), QColor(0xF0, 0xB7, 0xBC)); // marked and empty
        const QColor antes = corDoFundo(codigo);

        QTest::keyClick(nome, Qt::Key_Return); // Enter goes to the next field
        QTRY_VERIFY(cpf->hasFocus());
        QCOMPARE(corDoFundo(cpf), QColor(0xDF, 0xEE, 0xF7));
        QCOMPARE(corDoFundo(nome), QColor(0xE2, 0xE2, 0xC5));
        QCOMPARE(corDoFundo(codigo), antes); // mark 10 is left alone

        b.cliente.edit();
        QTest::keyClick(cpf, Qt::Key_F6); // editing: nothing
        QCOMPARE(f6, 1);

        memo->setFocus();
        QTest::keyClicks(memo, "a");
        QTest::keyClick(memo, Qt::Key_Return); // the memo keeps Enter
        QVERIFY(memo->hasFocus());
        QCOMPARE(memo->toPlainText(), QStringLiteral("a\n"));

        fim->setFocus();
        QTest::keyClicks(fim, "APELIDO");
        nome->setFocus();
        QCOMPARE(corDoFundo(fim), QColor(0xE2, 0xE2, 0xC5)); // filled now
    }

    void relatorioDeErros_data()
    {
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("mostrada");
        QTest::newRow("letter") << "Erro de conversão"
                                << "Erro de conversão.";
        QTest::newRow("accented letter") << "não há ação"
                                         << "não há ação.";
        QTest::newRow("digit") << "valor 10"
                               << "valor 10.";
        QTest::newRow("question mark sorts after the stop") << "Sair?"
                                                            << "Sair?.";
        QTest::newRow("full stop") << "Já existe."
                                   << "Já existe.";
        QTest::newRow("exclamation") << "Atenção!"
                                     << "Atenção!";
        QTest::newRow("parenthesis") << "falhou (5)"
                                     << "falhou (5)";
        QTest::newRow("trailing space") << "falhou "
                                        << "falhou ";
        QTest::newRow("empty") << ""
                               << "";
    }
    void relatorioDeErros()
    {
        QFETCH(QString, mensagem);
        QFETCH(QString, mostrada);
        QVERIFY(!protegido([&] { throw std::runtime_error(mensagem.toStdString()); }));
        QCOMPARE(caixas.caixas().size(), 1);
        const DialogosRoteirizados::Caixa& c = caixas.caixas()[0];
        QCOMPARE(c.tipo, TipoCaixa::Erro);
        QCOMPARE(c.titulo, QStringLiteral("gui_widgets")); // the program file's name
        QCOMPARE(c.texto, mostrada);
        QCOMPARE(c.botoes, int(Botao::Ok));
    }

    void abortNaoMostraNadaEErrosDeEventosChegamAoRelatorio()
    {
        QVERIFY(!protegido([] { throw Abort(); }));
        QVERIFY(protegido([] {}));
        QVERIFY(caixas.caixas().isEmpty());

        // An exception escaping an event handler reaches the report instead of ending the program.
        struct Lanca : QObject
        {
            bool abortar = false;
            bool event(QEvent* e) override
            {
                if (e->type() != QEvent::User) return QObject::event(e);
                if (abortar) throw Abort();
                throw fb::Error(QStringLiteral("lock conflict on no wait transaction"));
            }
        } alvo;
        QEvent ev(QEvent::User);
        QCoreApplication::sendEvent(&alvo, &ev);
        alvo.abortar = true;
        QCoreApplication::sendEvent(&alvo, &ev);
        QCOMPARE(caixas.textos(), QStringList{"lock conflict on no wait transaction."});
    }

    void mapa_data()
    {
        QTest::addColumn<QString>("rua");
        QTest::addColumn<QString>("cidade");
        QTest::addColumn<QString>("fimDoEndereco"); // "" : refused
        QTest::newRow("street trimmed, city upper-cased") << "Rua A "
                                                          << "salvador"
                                                          << "?uf=BA&cidade=SALVADOR&rua=Rua A";
        QTest::newRow("mixed case with trailing spaces") << "Rua B"
                                                         << "SalVador  "
                                                         << "&rua=Rua B";
        QTest::newRow("two-word city") << "Av. Central"
                                       << "Lauro de Freitas"
                                       << "&cidade=LAURO DE FREITAS&rua=Av. Central";
        QTest::newRow("cedilla is not in the table") << "Rua C"
                                                     << "Camaçari"
                                                     << "";
        QTest::newRow("leading spaces") << "Rua D"
                                        << " Salvador"
                                        << "";
        QTest::newRow("unknown city") << "Rua E"
                                      << "Aracaju"
                                      << "";
    }
    void mapa()
    {
        QFETCH(QString, rua);
        QFETCH(QString, cidade);
        QFETCH(QString, fimDoEndereco);
        QStringList abertos;
        defineAbridorEnderecos([&](const QString& e) {
            abertos << e;
            return true;
        });
        MostraMapa(rua, cidade, "BA");
        if (fimDoEndereco.isEmpty()) {
            QVERIFY(abertos.isEmpty());
            QCOMPARE(caixas.textos(), QStringList{"Cidade ainda não Disponível"});
            QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Erro);
        } else {
            QVERIFY(caixas.caixas().isEmpty());
            QCOMPARE(abertos.size(), 1);
            QVERIFY2(abertos[0].contains(QStringLiteral("/mapas/busca.asp?uf=BA&cidade=")), qPrintable(abertos[0]));
            QVERIFY2(abertos[0].endsWith(fimDoEndereco), qPrintable(abertos[0]));
        }
    }

    void figurasDosBotoes()
    {
        definePastaFiguras(QStringLiteral(COMEDAL_SOURCE_DIR "/figuras"));
        QToolButton b[9];
        b[7].setToolTip(QStringLiteral("Salvar")); // a screen's own hint stays
        ImagensBotoes(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8]);
        for (QToolButton& x : b)
            QVERIFY(!x.icon().isNull());
        QCOMPARE(b[0].toolTip(), QStringLiteral("Primeiro Registro"));
        QCOMPARE(b[8].accessibleName(), QStringLiteral("Cancelar"));
        QCOMPARE(b[7].toolTip(), QStringLiteral("Salvar"));
        QVERIFY(CarregaFigura(QStringLiteral("print2.bmp")));

        // A missing picture leaves the button as it was.
        definePastaFiguras(QDir::tempPath() + QStringLiteral("/sem-figuras"));
        QToolButton c;
        QVERIFY(!CarregaFigura(&c, QStringLiteral("alterar.bmp")));
        ImagensBotoes(nullptr, nullptr, nullptr, nullptr, nullptr, &c, nullptr, nullptr, nullptr);
        QVERIFY(c.icon().isNull());
        QCOMPARE(c.toolTip(), QStringLiteral("Alterar"));
        definePastaFiguras(QString());
    }

    void caixasQtEmPortugues()
    {
        TraduzMensagemSistema();
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sim"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Abort"), QStringLiteral("&Abortar"));
        QCOMPARE(traduzTexto("Record not found"), QStringLiteral("Registro não encontrado"));
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Copy"), QStringLiteral("&Copiar")); // Qt's own pt_BR

        DialogosQt qt;
        QString titulo;
        QStringList botoes;
        QTimer relogio;
        relogio.setInterval(10);
        connect(&relogio, &QTimer::timeout, this, [&] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!caixa) return;
            relogio.stop();
            titulo = caixa->windowTitle();
            QAbstractButton* nao = nullptr;
            for (QAbstractButton* b : caixa->buttons()) {
                botoes << b->text();
                if (b->text() == QStringLiteral("&Não")) nao = b;
            }
            if (nao)
                nao->click();
            else
                caixa->reject();
        });
        relogio.start();
        const int resposta =
            qt.mensagem(TipoCaixa::Confirmacao, Dialogos::tituloPadrao(TipoCaixa::Confirmacao),
                        QStringLiteral("Você gostaria realmente de Sair do Sistema?"), Botao::Sim | Botao::Nao);
        QCOMPARE(resposta, int(Botao::Nao));
        QCOMPARE(titulo, QStringLiteral("Confirme"));
        botoes.sort();
        QCOMPARE(botoes, QStringList({"&Não", "&Sim"}));
        QCOMPARE(DialogosQt::filtroQt("Bitmaps (*.BMP) | *.BMP"), QStringLiteral("Bitmaps (*.BMP *.bmp)"));
    }

    // A save dialog as the receipt and the report open it, an open dialog as the pictures do, and
    // one the toolkit opens by itself (the print dialog's "..."): every text Portuguese, none cut.
    void dialogoDeArquivoEmPortugues_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<bool>("doProprioQt");
        QTest::newRow("salvar") << int(QFileDialog::AcceptSave) << false;
        QTest::newRow("abrir") << int(QFileDialog::AcceptOpen) << false;
        QTest::newRow("salvar, aberto pelo Qt") << int(QFileDialog::AcceptSave) << true;
    }
    void dialogoDeArquivoEmPortugues()
    {
        QFETCH(int, modo);
        QFETCH(bool, doProprioQt);
        TraduzMensagemSistema();
        QTemporaryDir pasta;
        QVERIFY(QDir(pasta.path()).mkdir(QStringLiteral("cupons")));
        QFile arquivo(pasta.filePath(QStringLiteral("cupom antigo.pdf")));
        QVERIFY(arquivo.open(QIODevice::WriteOnly));
        arquivo.close();

        QStringList textos, cortados;
        QTimer relogio;
        relogio.setInterval(20);
        connect(&relogio, &QTimer::timeout, this, [&] {
            auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialogo) return;
            auto* arvore = dialogo->findChild<QTreeView*>(QStringLiteral("treeView"));
            if (!arvore || arvore->model()->rowCount(arvore->rootIndex()) < 2) return; // the folder is still read
            arvore->setVisible(true); // the detailed list, whatever view the dialog opened in
            dialogo->setViewMode(QFileDialog::Detail);
            QApplication::processEvents();
            relogio.stop();
            textos << dialogo->windowTitle();
            for (QLabel* l : dialogo->findChildren<QLabel*>()) {
                if (!l->isVisible() || l->text().isEmpty()) continue;
                textos << l->text();
                const QString t = QString(l->text()).remove(u'&');
                if (l->contentsRect().width() < l->fontMetrics().horizontalAdvance(t)) cortados << t;
            }
            for (QAbstractButton* b : dialogo->findChildren<QAbstractButton*>()) {
                if (!b->isVisible()) continue;
                if (!b->text().isEmpty()) textos << b->text();
                if (!b->toolTip().isEmpty()) textos << b->toolTip();
                if (qobject_cast<QPushButton*>(b) && b->width() < b->sizeHint().width()) cortados << b->text();
            }
            for (QAction* a : dialogo->findChildren<QAction*>())
                if (!a->text().isEmpty()) textos << a->text();
            QAbstractItemModel* m = arvore->model();
            QHeaderView* cabecalho = arvore->header();
            for (int c = 0; c < m->columnCount(); ++c) {
                if (cabecalho->isSectionHidden(c)) continue;
                const QString t = m->headerData(c, Qt::Horizontal).toString();
                textos << t;
                if (cabecalho->sectionSize(c) < cabecalho->fontMetrics().horizontalAdvance(t)) cortados << t;
            }
            for (int r = 0; r < m->rowCount(arvore->rootIndex()); ++r)
                textos << m->index(r, 2, arvore->rootIndex()).data().toString(); // the kind of each entry
            if (auto* lugares = dialogo->findChild<QListView*>(QStringLiteral("sidebar"))) {
                for (int r = 0; r < lugares->model()->rowCount(); ++r) {
                    const QModelIndex i = lugares->model()->index(r, 0);
                    textos << i.data().toString();
                    if (lugares->visualRect(i).left() + lugares->sizeHintForIndex(i).width() >
                        lugares->viewport()->width())
                        cortados << i.data().toString();
                }
            }
            dialogo->reject();
        });
        relogio.start();

        QWidget dono;
        dono.resize(800, 600);
        if (doProprioQt) {
            QFileDialog::getSaveFileName(&dono, QStringLiteral("Arquivo de saída"), pasta.filePath("novo.pdf"),
                                         QStringLiteral("Arquivos PDF (*.pdf)"), nullptr,
                                         QFileDialog::DontUseNativeDialog);
        } else {
            QFileDialog dialogo(&dono, QStringLiteral("Salvar cupom em PDF"), pasta.path());
            dialogo.setAcceptMode(QFileDialog::AcceptMode(modo));
            dialogo.setNameFilter(QStringLiteral("Arquivos PDF (*.pdf)"));
            dialogo.setViewMode(QFileDialog::Detail);
            dialogo.selectFile(QStringLiteral("Cupom 000000000123.pdf"));
            // The places on the left as narrow as a session's saved state can leave them.
            auto* divisor = dialogo.findChild<QSplitter*>(QStringLiteral("splitter"));
            QVERIFY(divisor);
            divisor->setSizes({40, 760});
            DialogosQt qt;
            qt.mostrarModal(&dialogo);
        }
        QVERIFY(!relogio.isActive());

        static const QStringList ingles{"Look in",
                                        "File name",
                                        "Files of type",
                                        "Save",
                                        "Open",
                                        "Cancel",
                                        "Folder",
                                        "Name",
                                        "Size",
                                        "Type",
                                        "Kind",
                                        "Date Modified",
                                        "Back",
                                        "Forward",
                                        "Parent Directory",
                                        "Create New Folder",
                                        "List View",
                                        "Detail View",
                                        "Computer",
                                        "Rename",
                                        "Delete",
                                        "Show hidden files",
                                        "New Folder",
                                        "File",
                                        "PDF document"};
        QStringList emIngles;
        for (const QString& t : textos) {
            const QString limpo = QString(t).remove(u'&').remove(u':').trimmed();
            if (ingles.contains(limpo, Qt::CaseInsensitive)) emIngles << t;
        }
        QVERIFY2(emIngles.isEmpty(), qPrintable(emIngles.join(" | ") + "  // " + textos.join(" | ")));
        QVERIFY2(cortados.isEmpty(), qPrintable(cortados.join(" | ")));
        QVERIFY(textos.contains(modo == int(QFileDialog::AcceptSave) ? "&Salvar" : "&Abrir"));
        QVERIFY(textos.contains("&Cancelar"));
    }
};

// The program's own application class, so that errors escaping event handlers are reported.
int main(int argc, char** argv)
{
    Aplicacao app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    Widgets testes;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&testes, argc, argv);
}

#include "gui_widgets.moc"
