// The client record screen, offscreen on a real database: its boxes and captions, the state display,
// the buttons and keys, the go-to boxes, the remembered address, the colours and the rules bound to
// the boxes, as the operator meets them.
#include "clients/Pacientes.h"
#include "clients/xConsultaListaPac.h"
#include "common/dialogos.h"
#include "common/mascara.h"
#include "common/parametros.h"
#include "common/ui/dbcheckbox.h"
#include "common/ui/dbcombobox.h"
#include "common/ui/dbedit.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "telas.h"
#include "testdb.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>

namespace {
const QString kNaoEncontrado = QStringLiteral("Registro não Encontrado!");
const QString kCancelar = QStringLiteral("Cancelar Atualizações no Registro?");
const QColor kFoco(0xDF, 0xEE, 0xF7), kSemFoco(0xE2, 0xE2, 0xC5), kPreencher(0xF0, 0xB7, 0xBC),
    kCodigo(0xFF, 0xFF, 0xB0);
} // namespace

class CadastroCliente : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;
    DialogosRoteirizados caixas;
    QPointer<TCad_Cliente> tela;

    qint64 insere(const QString& nome, const QString& cpf, const QString& identidade = {},
                  const QString& ativo = QStringLiteral("S"))
    {
        fb::Statement st(dados->fatura, dados->TransFatura,
                         "INSERT INTO CLIENTE (NOME, MAE, CPF, SEXO, IDENTIDADE, ATIVO, ESCOLARIDADE, COR, CIVIL) "
                         "VALUES (:NOME, 'MAE DE TESTE', :CPF, 'F', :IDENTIDADE, :ATIVO, 6, 2, 0) RETURNING ID");
        st.setParameter("NOME", nome);
        st.setParameter("CPF", cpf);
        st.setParameter("IDENTIDADE", identidade.isEmpty() ? QVariant() : QVariant(identidade));
        st.setParameter("ATIVO", ativo);
        st.execute();
        const qint64 id = st.value(0).toLongLong();
        dados->TransFatura.commitRetaining();
        return id;
    }
    void empresa() { db->exec("UPDATE EMPRESAS SET TELEFONE = '07132123456', CIDADE = 'SALVADOR';"); }
    QVariant guardado(const QString& coluna, qint64 id)
    {
        fb::Statement st(dados->fatura, dados->TransFatura, "SELECT " + coluna + " FROM CLIENTE WHERE ID = :ID");
        st.setParameter("ID", id);
        st.execute();
        return st.fetch() ? st.value(0) : QVariant();
    }

    void abre(QWidget* pai = nullptr)
    {
        tela = new TCad_Cliente(pai);
        if (!pai) {
            tela->resize(1100, 760);
            tela->show();
            tela->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(tela));
        }
    }
    template <class T = QWidget> T* w(const char* nome) { return filho<T>(tela, nome); }
    QString texto(const char* nome)
    {
        if (auto* c = tela->findChild<QComboBox*>(QString::fromLatin1(nome))) return c->currentText();
        return w<QLineEdit>(nome)->text();
    }
    qint64 mostrado() { return dados->Cliente->isEmpty() ? 0 : dados->Cliente->field("ID").asInteger(); }
    void tecla(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget* alvo = QApplication::focusWidget() ? QApplication::focusWidget() : tela.data();
        QTest::keyClick(alvo, Qt::Key(k), m);
    }
    void clica(const char* botao) { QTest::mouseClick(w<QAbstractButton>(botao), Qt::LeftButton); }
    void digita(const char* caixa, const QString& t)
    {
        QWidget* c = w(caixa);
        c->setFocus();
        if (auto* e = qobject_cast<QLineEdit*>(c)) {
            e->selectAll();
            QTest::keyClick(e, Qt::Key_Delete);
            e->setCursorPosition(0);
        }
        QTest::keyClicks(c, t);
    }
    QColor fundo(const char* caixa) { return w(caixa)->palette().color(QPalette::Base); }
    void captura(const char* nome)
    {
        const QString pasta = qEnvironmentVariable("COMEDAL_CAPTURAS");
        if (!pasta.isEmpty()) tela->grab().save(pasta + "/" + nome + ".png");
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        dados = std::make_unique<TDados>(db->settings());
        caixas.limpa();
        defineDialogos(&caixas);
        definePastaFiguras(QStringLiteral(COMEDAL_SOURCE_DIR "/figuras"));
        parametros().limpa();
    }
    void cleanup()
    {
        delete tela.data();
        defineDialogos(nullptr);
        dados.reset();
        db.reset();
    }

    // ---- what the screen shows

    void captionsAreBuddiesOfTheirBoxes_data()
    {
        QTest::addColumn<QString>("legenda");
        QTest::addColumn<QString>("caixa");
        const char* pares[][2] = {{"Codigo", "w_ID"},
                                  {"Ativo ?", "w_Paciente"},
                                  {"Nome", "w_Nome"},
                                  {"Nome Social", "w_Apelido"},
                                  {"Nasc.", "w_NASC"},
                                  {"Sexo", "w_Sexo"},
                                  {"C.P.F.", "w_CPF"},
                                  {"Doc Identidade", "w_IDENTIDADE"},
                                  {"Orgão Emissor", "w_RGOrgao"},
                                  {"Dt. Exp.", "DBEdit47"},
                                  {"Raça/Cor", "w_Cor"},
                                  {"Naturalidade", "w_NATURALIDADE"},
                                  {"Nome do Pai", "w_PAI"},
                                  {"Mãe", "w_MAE"},
                                  {"Estado Civil", "w_EstadoCivil"},
                                  {"Escolaridade", "w_Escolaridade"},
                                  {"UF", "DBLookupComboBox1"},
                                  {"C.E.P.", "w_CEP"},
                                  {"Cidade", "w_Cidade"},
                                  {"Bairro", "w_Bairro"},
                                  {"Endereço", "w_ENDERECO"},
                                  {"Número", "w_Numero"},
                                  {"Complemento", "w_Complemento"},
                                  {"Celular", "w_CELULAR"},
                                  {"Telefone", "w_TELEFONE"},
                                  {"E-mail", "w_mail"},
                                  {"UF", "DBLookupComboBox2"},
                                  {"Observações", "DBMemo1"}};
        for (const auto& p : pares)
            QTest::newRow(p[1]) << QString::fromUtf8(p[0]) << QString::fromLatin1(p[1]);
    }
    void captionsAreBuddiesOfTheirBoxes()
    {
        QFETCH(QString, legenda);
        QFETCH(QString, caixa);
        abre();
        bool achou = false;
        for (QLabel* l : tela->findChildren<QLabel*>())
            achou = achou || (l->text() == legenda && l->buddy() && l->buddy()->objectName() == caixa);
        QVERIFY2(achou, qPrintable(legenda + " -> " + caixa));
    }

    void hintsAndTitles()
    {
        abre();
        QCOMPARE(tela->windowTitle(), QStringLiteral("Cadastro de Pessoas"));
        auto* abas = w<QTabWidget>("PageControl");
        QCOMPARE(abas->count(), 1);
        QCOMPARE(abas->tabText(0), QStringLiteral("Dados - F7"));
        QCOMPARE(abas->tabPosition(), QTabWidget::South);
        const char* dicas[][2] = {{"BotaoCodigo", "Busca pelo Codigo - F6"},
                                  {"BotaoNome", "Busca pelo Nome - F3"},
                                  {"SpeedButton6", "Busca pelo nº do C.P.F."},
                                  {"SpeedButton5", "Busca pelo nº do Doc. Identidade"},
                                  {"w_Copia", "Cópia o Endereço Anterior"},
                                  {"Button1", "Primeiro Registro-Ctrl+Down"},
                                  {"Button2", "Registro Anterior-Ctrl+Left"},
                                  {"Button3", "Proximo Registro-Ctrl+Right"},
                                  {"Button4", "Ultimo Registro-Ctrl+Up"},
                                  {"Incluir", "Incluir"},
                                  {"Alterar", "Alterar"},
                                  {"Excluir", "Excluir"},
                                  {"Confirmar", "Gravar"},
                                  {"NaoConfirmar", "Cancelar"}};
        for (const auto& d : dicas) {
            QCOMPARE(w(d[0])->toolTip(), QString::fromUtf8(d[1]));
            QCOMPARE(w(d[0])->accessibleName(), QString::fromUtf8(d[1]));
        }
        QVERIFY(!w<QAbstractButton>("Incluir")->icon().isNull()); // the bitmap of "figuras"
        QCOMPARE(w("w_Sexo")->toolTip(), QStringLiteral("Sexo no Nascimento"));
        QCOMPARE(w("w_Cor")->toolTip(), QStringLiteral("Preenchimento não Obrigatório"));
        QCOMPARE(w("w_CELULAR")->toolTip(), QStringLiteral("nº do Celular"));
        QCOMPARE(w("w_TELEFONE")->toolTip(), QStringLiteral("nº do Telefone Residêncial"));
        QCOMPARE(w<QAbstractButton>("Button5")->text(), QStringLiteral("Fotografar"));
        QVERIFY(w("Fechar")->isVisible());
        // the code list offered for race/colour starts blank and says BRANCO
        auto* cor = w<QComboBox>("w_Cor");
        QCOMPARE(cor->itemText(0), QStringLiteral(" "));
        QCOMPARE(cor->itemText(2), QStringLiteral("2-BRANCO"));
    }

    void tabOrderFollowsTheGroups()
    {
        abre();
        const QStringList esperada = {
            "w_Nome",        "w_Apelido", "w_NASC",        "w_Sexo",         "w_CPF",
            "w_IDENTIDADE",  "w_RGOrgao", "DBEdit47",      "w_Cor",          "w_NATURALIDADE",
            "w_PAI",         "w_MAE",     "w_EstadoCivil", "w_Escolaridade", "DBLookupComboBox1",
            "w_CEP",         "w_Cidade",  "w_Bairro",      "w_ENDERECO",     "w_Numero",
            "w_Complemento", "w_CELULAR", "w_TELEFONE",    "w_mail",         "DBLookupComboBox2",
            "DBMemo1"};
        QStringList vista;
        QWidget* x = w("w_Nome");
        for (int i = 0; i < 500 && vista.size() < esperada.size(); ++i, x = x->nextInFocusChain())
            if ((x->focusPolicy() & Qt::TabFocus) && !x->focusProxy() && tela->isAncestorOf(x))
                vista << x->objectName();
        QCOMPARE(vista, esperada);
        // code and active flag are skipped by Tab
        QVERIFY(!(w("w_ID")->focusPolicy() & Qt::TabFocus));
        QVERIFY(!(w("w_Paciente")->focusPolicy() & Qt::TabFocus));
    }

    void opensOnTheLastClientWithCodesShown()
    {
        insere("ANA SILVA", "11111111111");
        const qint64 ultimo = insere("BIA SOUZA", "22222222222");
        abre();
        QCOMPARE(mostrado(), ultimo);
        QCOMPARE(texto("w_ID"), QString::number(ultimo));
        QCOMPARE(texto("w_Nome"), QStringLiteral("BIA SOUZA"));
        QCOMPARE(texto("w_CPF"), QStringLiteral("222.222.222-22"));
        QCOMPARE(texto("w_Escolaridade"), QStringLiteral("6-3º Grau Incompleto"));
        QCOMPARE(texto("w_Cor"), QStringLiteral("2-BRANCA"));
        QCOMPARE(texto("w_EstadoCivil"), QString());
        QCOMPARE(w<QLabel>("Estado")->text(), QStringLiteral("Navegando..."));
        QCOMPARE(fundo("w_ID"), kCodigo);
        captura("cliente-navegando");
    }

    void stateDisplay_data()
    {
        QTest::addColumn<QString>("acao");
        QTest::addColumn<QString>("rotulo");
        QTest::addColumn<bool>("navegando");
        QTest::addColumn<bool>("incluindo");
        QTest::newRow("browsing") << ""
                                  << "Navegando..." << true << false;
        QTest::newRow("inserting") << "Incluir"
                                   << "Incluindo..." << false << true;
        QTest::newRow("editing") << "Alterar"
                                 << "Editando..." << false << false;
    }
    void stateDisplay()
    {
        QFETCH(QString, acao);
        QFETCH(QString, rotulo);
        QFETCH(bool, navegando);
        QFETCH(bool, incluindo);
        insere("ANA SILVA", "11111111111");
        abre();
        if (!acao.isEmpty()) clica(acao.toLatin1().constData());
        QCOMPARE(w<QLabel>("Estado")->text(), rotulo);
        for (const char* b : {"BotaoCodigo", "BotaoNome", "SpeedButton5", "SpeedButton6", "Button1", "Button2",
                              "Button3", "Button4", "Incluir", "Alterar", "Excluir"})
            QVERIFY2(w(b)->isEnabled() == navegando, b);
        QCOMPARE(w("Confirmar")->isEnabled(), !navegando);
        QCOMPARE(w("NaoConfirmar")->isEnabled(), !navegando);
        QCOMPARE(w("w_Copia")->isEnabled(), incluindo);
        // the boxes take typing only after Incluir or Alterar
        QCOMPARE(w<QLineEdit>("w_Nome")->isReadOnly(), navegando);
        if (!navegando) QCOMPARE(QApplication::focusWidget(), w("w_Nome"));
    }

    void emptyTable()
    {
        abre();
        QVERIFY(dados->Cliente->isEmpty());
        QCOMPARE(texto("w_ID"), QString());
        QVERIFY(w("Incluir")->isEnabled());
        clica("Excluir");
        QVERIFY(caixas.caixas().isEmpty());
    }

    // ---- writing a client

    void newClientIsSavedShownAndFeedsTheCopyButton()
    {
        empresa();
        insere("ANA SILVA", "11111111111");
        abre();
        tecla(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(w<QLabel>("Estado")->text(), QStringLiteral("Incluindo..."));
        QCOMPARE(QApplication::focusWidget(), w("w_Nome"));
        QCOMPARE(texto("w_Cidade"), QStringLiteral("SALVADOR")); // the company's defaults
        QCOMPARE(dados->Cliente->field("TELEFONE").asString(), QStringLiteral("7132123456"));
        QCOMPARE(texto("w_Cor"), QString());
        captura("cliente-incluindo");

        QTest::keyClicks(w("w_Nome"), "maria silva"); // upper case forced
        tecla(Qt::Key_Return);                        // Enter moves on, running the name rules
        QCOMPARE(QApplication::focusWidget(), w("w_Apelido"));
        QCOMPARE(texto("w_Nome"), QStringLiteral("MARIA SILVA"));
        QCOMPARE(texto("w_Sexo"), QStringLiteral("F"));
        digita("w_MAE", "rita silva");
        digita("w_CPF", "12345678909");
        digita("w_ENDERECO", "rua a");
        digita("w_Bairro", "centro");
        digita("w_CEP", "40000000");
        tecla(Qt::Key_Tab); // lands in "Número"
        QCOMPARE(QApplication::focusWidget(), w("w_Numero"));
        digita("w_TELEFONE", "07132123456");
        digita("w_CELULAR", "71987654321");
        tecla(Qt::Key_Tab);
        tecla(Qt::Key_G, Qt::ControlModifier);
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));

        QCOMPARE(w<QLabel>("Estado")->text(), QStringLiteral("Navegando..."));
        const qint64 novo = mostrado();
        QVERIFY(novo > 0);
        QCOMPARE(texto("w_Nome"), QStringLiteral("MARIA SILVA"));
        QCOMPARE(guardado("NOME", novo).toString(), QStringLiteral("MARIA SILVA"));
        QCOMPARE(guardado("TELEFONE", novo).toString(), QStringLiteral("71 32123456"));
        QCOMPARE(guardado("CEP", novo).toString(), QStringLiteral("40000000"));
        QCOMPARE(guardado("NATURALIDADE", novo).toString(), QStringLiteral("PARAIBA"));

        // the next new client copies the address and phones of this one
        clica("Incluir");
        dados->Cliente->field("ENDERECO").setValue("OUTRA RUA");
        clica("w_Copia");
        QCOMPARE(dados->Cliente->field("ENDERECO").asString(), QStringLiteral("RUA A"));
        QCOMPARE(dados->Cliente->field("BAIRRO").asString(), QStringLiteral("CENTRO"));
        QCOMPARE(dados->Cliente->field("CEP").asString(), QStringLiteral("40000000"));
        QCOMPARE(dados->Cliente->field("CIDADE").asString(), QStringLiteral("SALVADOR"));
        QCOMPARE(dados->Cliente->field("TELEFONE").asString(), QStringLiteral("71 32123456"));
        QCOMPARE(dados->Cliente->field("CELULAR").asString(), QStringLiteral("71987654321"));
        QCOMPARE(texto("w_CEP"), QStringLiteral("40.000-000"));

        // becoming the active screen again forgets it: the copy then empties the columns
        tela->FormActivate();
        clica("w_Copia");
        for (const char* c : {"ENDERECO", "BAIRRO", "CEP", "CIDADE", "TELEFONE", "CELULAR"})
            QVERIFY2(dados->Cliente->field(c).isNull(), c);
    }

    void switchingScreensForgetsTheAddress()
    {
        QMdiArea area;
        area.resize(1200, 860);
        tela = new TCad_Cliente;
        QMdiSubWindow* minha = area.addSubWindow(tela);
        QMdiSubWindow* outra = area.addSubWindow(new QLabel("outra tela"));
        area.show();
        area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        area.setActiveSubWindow(minha);

        tela->ActIncluirExecute();
        dados->Cliente->field("NOME").setValue("JOAO SILVA");
        dados->Cliente->field("MAE").setValue("MARIA SILVA");
        dados->Cliente->field("CPF").setValue("12345678909");
        dados->Cliente->field("SEXO").setValue("M");
        dados->Cliente->field("ENDERECO").setValue("RUA B");
        tela->ActGravarExecute();
        tela->ActIncluirExecute();
        tela->w_CopiaClick();
        QCOMPARE(dados->Cliente->field("ENDERECO").asString(), QStringLiteral("RUA B"));
        caixas.responde(Botao::Sim);
        tela->ActCancelarExecute();

        area.setActiveSubWindow(outra);
        area.setActiveSubWindow(minha);
        tela->ActIncluirExecute();
        tela->w_CopiaClick();
        QVERIFY(dados->Cliente->field("ENDERECO").isNull());
        dados->Cliente->cancel();
        delete minha;
        QVERIFY(tela.isNull());
    }

    void refusedSaveKeepsTheRecord()
    {
        abre();
        clica("Incluir");
        dados->Cliente->field("NOME").setValue("JOAO SILVA");
        dados->Cliente->field("CPF").setValue("12345678909");
        dados->Cliente->field("SEXO").setValue("M");
        clica("Confirmar");
        QCOMPARE(caixas.textos(), QStringList{"Campo 'MAE' deve possuir um valor."});
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Insert);
        QCOMPARE(dados->Cliente->field("NOME").asString(), QStringLiteral("JOAO SILVA"));
    }

    void nameRuleKeepsTheFocus()
    {
        abre();
        clica("Incluir");
        QTest::keyClicks(w("w_Nome"), "MARIA");
        tecla(Qt::Key_Tab);
        QCOMPARE(caixas.textos(),
                 QStringList{"Não é possivel utilizar apenas 1 nome\nNome do paciente deve ter no mínimo 2 nomes"});
        QCOMPARE(QApplication::focusWidget(), w("w_Nome"));
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Insert);
    }

    void phoneRuleOnTheBoxes()
    {
        abre();
        clica("Incluir");
        digita("w_TELEFONE", "07132123456");
        tecla(Qt::Key_Tab);
        QCOMPARE(dados->Cliente->field("TELEFONE").asString(), QStringLiteral("71 32123456"));
        QCOMPARE(w<QLineEdit>("w_TELEFONE")->displayText(), QStringLiteral("(71) 3212-3456"));

        // nine digits without the area code: refused, the focus stays
        auto* celular = w<QLineEdit>("w_CELULAR");
        digita("w_CELULAR", "");
        celular->setCursorPosition(4);
        QTest::keyClicks(celular, "987654321");
        tecla(Qt::Key_Tab);
        QCOMPARE(caixas.textos(), QStringList{"Número do telefone deve ter 11 digitos"});
        QCOMPARE(QApplication::focusWidget(), celular);

        // an unfilled number position: the mask's own refusal, and the phone rule does not run
        caixas.limpa();
        digita("w_CELULAR", "7198765");
        tecla(Qt::Key_Tab);
        QCOMPARE(caixas.caixas().size(), 1);
        QVERIFY(caixas.textos()[0].startsWith("Valor de entrada inválido"));
        QCOMPARE(QApplication::focusWidget(), celular);
    }

    void cpfWarningOnTheScreen()
    {
        parametros().VetorConfig = {"BuscaCPF"};
        parametros().VetorConfigVal = {"S"};
        const qint64 outro = insere("OUTRO DONO", "12345678909");
        abre();
        clica("Incluir");
        digita("w_CPF", "12345678909");
        tecla(Qt::Key_Tab);
        QCOMPARE(caixas.textos(),
                 QStringList{
                     QString("O CPF 12345678909 já existe para o paciente\nCódigo: %1\nNome: OUTRO DONO").arg(outro)});
        QCOMPARE(QApplication::focusWidget(), w("w_IDENTIDADE")); // only a warning
    }

    void leavingThePostalCodeLandsInNumber()
    {
        abre();
        clica("Incluir");
        digita("w_CEP", "58000000");
        w("w_Nome")->setFocus(); // going elsewhere with the mouse
        QCOMPARE(QApplication::focusWidget(), w("w_Numero"));
    }

    void districtWithoutQuotesAndMotherTrimmed()
    {
        abre();
        clica("Incluir");
        digita("w_Bairro", "SAO JOAO D'EL REI");
        tecla(Qt::Key_Tab);
        QCOMPARE(dados->Cliente->field("BAIRRO").asString(), QStringLiteral("SAO JOAO D EL REI"));
        digita("w_MAE", "  RITA  ");
        tecla(Qt::Key_Tab);
        QCOMPARE(dados->Cliente->field("MAE").asString(), QStringLiteral("RITA"));
    }

    void pickingCodes()
    {
        insere("ANA SILVA", "11111111111");
        abre();
        clica("Alterar");
        auto* cor = w<QComboBox>("w_Cor");
        cor->setFocus();
        cor->setCurrentIndex(2);
        Q_EMIT cor->activated(2); // "2-BRANCO" picked
        QCOMPARE(dados->Cliente->field("COR").asInteger(), 2);
        QCOMPARE(cor->currentText(), QStringLiteral("2-BRANCA"));
        cor->setCurrentIndex(0);
        Q_EMIT cor->activated(0); // the blank entry clears it
        QVERIFY(dados->Cliente->field("COR").isNull());
        auto* civil = w<QComboBox>("w_EstadoCivil");
        civil->setCurrentIndex(3);
        Q_EMIT civil->activated(3);
        QCOMPARE(dados->Cliente->field("CIVIL").asInteger(), 4);
        QCOMPARE(civil->currentText(), QStringLiteral("4 - Separação Judicial"));
    }

    void focusColours()
    {
        abre();
        clica("Incluir");
        QCOMPARE(fundo("w_Nome"), kFoco);
        QCOMPARE(fundo("w_IDENTIDADE"), kPreencher); // to be filled and empty
        QCOMPARE(fundo("w_EstadoCivil"), kPreencher);
        QCOMPARE(fundo("w_Apelido"), kSemFoco);
        QCOMPARE(fundo("DBMemo1"), kSemFoco);
        QCOMPARE(fundo("DBLookupComboBox2"), kSemFoco);
        QCOMPARE(fundo("w_ID"), kCodigo);
        captura("cliente-incluindo-cores");
        digita("w_IDENTIDADE", "12345");
        QCOMPARE(fundo("w_IDENTIDADE"), kFoco);
        tecla(Qt::Key_Tab);
        QCOMPARE(fundo("w_IDENTIDADE"), kSemFoco);
        QCOMPARE(fundo("w_RGOrgao"), kFoco);
    }

    void inactiveClientShownInRed()
    {
        insere("ANA SILVA", "11111111111", {}, "N");
        abre();
        auto* grupo = w("GrupoDadosGerais");
        QCOMPARE(grupo->palette().color(QPalette::Window), QColor(0xFF, 0, 0));
        QCOMPARE(w("TituloGrupoDadosGerais")->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(w("Label_w_Nome")->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(w("Label_w_Apelido")->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(!w<QAbstractButton>("w_Paciente")->isChecked());
        captura("cliente-inativo");

        clica("Alterar");
        w<QAbstractButton>("w_Paciente")->click(); // ticked while editing: white again at once
        QCOMPARE(dados->Cliente->field("ATIVO").asString(), QStringLiteral("S"));
        QCOMPARE(grupo->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(w("TituloGrupoDadosGerais")->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
        QCOMPARE(w("Label_w_Nome")->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    // ---- buttons and keys

    void escAsksAlsoWhileBrowsing_data()
    {
        QTest::addColumn<int>("resposta");
        QTest::newRow("yes") << int(Botao::Sim);
        QTest::newRow("no") << int(Botao::Nao);
    }
    void escAsksAlsoWhileBrowsing()
    {
        QFETCH(int, resposta);
        const qint64 id = insere("ANA SILVA", "11111111111");
        abre();
        caixas.responde(resposta);
        tecla(Qt::Key_Escape);
        QCOMPARE(caixas.textos(), QStringList{kCancelar});
        QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Confirmacao);
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Browse);
        QCOMPARE(mostrado(), id);
    }

    void cancelingANewClient_data()
    {
        QTest::addColumn<int>("resposta");
        QTest::addColumn<bool>("cancelado");
        QTest::newRow("yes") << int(Botao::Sim) << true;
        QTest::newRow("no") << int(Botao::Nao) << false;
    }
    void cancelingANewClient()
    {
        QFETCH(int, resposta);
        QFETCH(bool, cancelado);
        const qint64 id = insere("ANA SILVA", "11111111111");
        abre();
        clica("Incluir");
        QTest::keyClicks(w("w_Nome"), "JOAO");
        caixas.responde(resposta);
        clica("NaoConfirmar");
        QCOMPARE(caixas.textos(), QStringList{kCancelar});
        QCOMPARE(dados->Cliente->state(), cancelado ? EstadoDataset::Browse : EstadoDataset::Insert);
        if (cancelado) QCOMPARE(mostrado(), id); // back on the last client
    }

    void keysOfTheScreen()
    {
        const qint64 a = insere("ANA SILVA", "11111111111");
        const qint64 b = insere("BIA SOUZA", "22222222222");
        abre();
        w("w_Nome")->setFocus();
        tecla(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(mostrado(), a);
        tecla(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(mostrado(), b);
        tecla(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(mostrado(), a);
        tecla(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(mostrado(), b);

        // F3 and F6 do nothing while editing; nor do the navigation keys
        tecla(Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Edit);
        tecla(Qt::Key_F6);
        tecla(Qt::Key_F3);
        tecla(Qt::Key_Down, Qt::ControlModifier);
        QVERIFY(caixas.entradas().isEmpty());
        QVERIFY(caixas.janelasModais().isEmpty());
        QCOMPARE(mostrado(), b);
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Edit);

        // while browsing F6 asks for the code
        caixas.responde(Botao::Sim);
        tecla(Qt::Key_Escape);
        caixas.respondeEntrada(std::nullopt);
        tecla(Qt::Key_F6);
        QCOMPARE(caixas.entradas().size(), 1);
        QCOMPARE(caixas.entradas()[0].titulo, QStringLiteral("Ir Para"));
        QCOMPARE(caixas.entradas()[0].rotulo, QStringLiteral("Codigo..."));
        QCOMPARE(caixas.entradas()[0].valorInicial, QString());
        tecla(Qt::Key_F3);
        QCOMPARE(caixas.janelasModais().size(), 1);
        QVERIFY(qobject_cast<TConsultaListaPac*>(caixas.janelasModais()[0]));
    }

    void enterBreaksTheLineInTheNotes()
    {
        abre();
        clica("Incluir");
        w("DBMemo1")->setFocus();
        QTest::keyClicks(w("DBMemo1"), "linha 1");
        tecla(Qt::Key_Return);
        QTest::keyClicks(w("DBMemo1"), "linha 2");
        QCOMPARE(QApplication::focusWidget(), w("DBMemo1"));
        QCOMPARE(w<QPlainTextEdit>("DBMemo1")->toPlainText(), QStringLiteral("linha 1\nlinha 2"));
    }

    void goToCode_data()
    {
        QTest::addColumn<QString>("resposta"); // "%1": the first client's code
        QTest::addColumn<QStringList>("mensagens");
        QTest::addColumn<bool>("vaiAoPrimeiro");
        QTest::newRow("existing code") << " %1 " << QStringList{} << true;
        QTest::newRow("zero") << "0" << QStringList{} << false;
        QTest::newRow("negative") << "-5" << QStringList{} << false;
        QTest::newRow("blank") << "   " << QStringList{} << false;
        QTest::newRow("missing code") << "999999" << QStringList{kNaoEncontrado} << false;
        QTest::newRow("not a number") << "12a" << QStringList{"'12a' não é um valor inteiro válido."} << false;
        QTest::newRow("quote") << "1' OR '1'='1" << QStringList{"'1' OR '1'='1' não é um valor inteiro válido."}
                               << false;
    }
    void goToCode()
    {
        QFETCH(QString, resposta);
        QFETCH(QStringList, mensagens);
        QFETCH(bool, vaiAoPrimeiro);
        const qint64 primeiro = insere("ANA SILVA", "11111111111");
        const qint64 ultimo = insere("BIA SOUZA", "22222222222");
        abre();
        caixas.respondeEntrada(resposta.contains("%1") ? resposta.arg(primeiro) : resposta);
        clica("BotaoCodigo");
        QCOMPARE(caixas.textos(), mensagens);
        QCOMPARE(mostrado(), vaiAoPrimeiro ? primeiro : ultimo);
        QCOMPARE(texto("w_Nome"), vaiAoPrimeiro ? QStringLiteral("ANA SILVA") : QStringLiteral("BIA SOUZA"));
    }

    void goToIdentityAndCpf_data()
    {
        QTest::addColumn<QString>("botao");
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<bool>("acha");
        QTest::newRow("identity found") << "SpeedButton5"
                                        << " MG-123 " << true;
        QTest::newRow("identity missing") << "SpeedButton5"
                                          << "SP-999" << false;
        QTest::newRow("identity with a quote") << "SpeedButton5"
                                               << "X' OR ''='" << false;
        // blanks are an answer: searched, nobody found, said so
        QTest::newRow("identity only blanks") << "SpeedButton5"
                                              << "   " << false;
        QTest::newRow("cpf only blanks") << "SpeedButton6"
                                         << "   " << false;
        QTest::newRow("cpf found") << "SpeedButton6"
                                   << "11111111111" << true;
        QTest::newRow("cpf with punctuation") << "SpeedButton6"
                                              << "111.111.111-11" << false;
        QTest::newRow("cpf missing") << "SpeedButton6"
                                     << "99999999999" << false;
    }
    void goToIdentityAndCpf()
    {
        QFETCH(QString, botao);
        QFETCH(QString, resposta);
        QFETCH(bool, acha);
        const qint64 primeiro = insere("ANA SILVA", "11111111111", "MG-123");
        const qint64 ultimo = insere("BIA SOUZA", "22222222222", "BA-456");
        abre();
        caixas.respondeEntrada(resposta);
        clica(botao.toLatin1().constData());
        QCOMPARE(caixas.textos(), acha ? QStringList{} : QStringList{kNaoEncontrado});
        QCOMPARE(mostrado(), acha ? primeiro : ultimo);
        QCOMPARE(texto("w_Nome"), acha ? QStringLiteral("ANA SILVA") : QStringLiteral("BIA SOUZA"));
    }

    // Every new client starts with the company's phone as area code and eight digits: shown as such,
    // and leaving the boxes accepts it in the landline form.
    void defaultPhonesAccepted()
    {
        empresa();
        abre();
        clica("Incluir");
        QCOMPARE(dados->Cliente->field("TELEFONE").asString(), QStringLiteral("7132123456"));
        QCOMPARE(w<QLineEdit>("w_TELEFONE")->displayText(), QStringLiteral("(71) 3212-3456"));
        QCOMPARE(w<QLineEdit>("w_CELULAR")->displayText(), QStringLiteral("(71) 3212-3456"));
        for (const char* caixa : {"w_CELULAR", "w_TELEFONE"}) {
            w(caixa)->setFocus();
            tecla(Qt::Key_Tab);
            QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));
            QVERIFY(QApplication::focusWidget() != w(caixa));
        }
        QCOMPARE(dados->Cliente->field("TELEFONE").asString(), QStringLiteral("71 32123456"));
        QCOMPARE(dados->Cliente->field("CELULAR").asString(), QStringLiteral("71 32123456"));
        QCOMPARE(w<QLineEdit>("w_TELEFONE")->displayText(), QStringLiteral("(71) 3212-3456"));
    }

    void deleteAsksThenShowsTheLast_data()
    {
        QTest::addColumn<int>("resposta");
        QTest::newRow("yes") << int(Botao::Sim);
        QTest::newRow("no") << int(Botao::Nao);
    }
    void deleteAsksThenShowsTheLast()
    {
        QFETCH(int, resposta);
        const qint64 a = insere("ANA SILVA", "11111111111");
        const qint64 b = insere("BIA SOUZA", "22222222222");
        abre();
        caixas.responde(resposta);
        clica("Excluir");
        QCOMPARE(caixas.textos(), QStringList{"Excluir Registro?"});
        const bool sim = resposta == Botao::Sim;
        QCOMPARE(guardado("ID", b).isValid(), !sim);
        QCOMPARE(mostrado(), sim ? a : b);
    }

    void photographSaves()
    {
        const qint64 id = insere("ANA SILVA", "11111111111");
        abre();
        clica("Button5"); // browsing: nothing
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Browse);
        clica("Alterar");
        digita("w_Apelido", "ANINHA");
        clica("Button5");
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Browse);
        QCOMPARE(guardado("APELIDO", id).toString(), QStringLiteral("ANINHA"));
        QVERIFY(w<QLabel>("Foto")->pixmap().isNull()); // the screen shows no photograph
    }

    void barToTheTopAndBack()
    {
        abre();
        auto* layout = qobject_cast<QVBoxLayout*>(tela->layout());
        QWidget* barra = w("Barra");
        QCOMPARE(layout->indexOf(barra), layout->count() - 1);
        auto* menu = w<QMenu>("PopupMenu1");
        QStringList itens;
        for (QAction* a : menu->actions())
            itens << a->text();
        QCOMPARE(itens, (QStringList{"Topo", "Abaixo"}));
        menu->actions()[0]->trigger();
        QCOMPARE(layout->indexOf(barra), 1);
        QCOMPARE(layout->indexOf(w("PanelTopo")), 0);
        menu->actions()[1]->trigger();
        QCOMPARE(layout->indexOf(barra), layout->count() - 1);
    }

    void closingDestroysTheScreen()
    {
        abre();
        clica("Incluir");
        caixas.responde(Botao::Nao);
        clica("Fechar"); // a change in progress: asked, and No keeps the screen
        QVERIFY(!tela.isNull());
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Insert);
        caixas.responde(Botao::Sim);
        clica("Fechar");
        QTRY_VERIFY(tela.isNull());
        QCOMPARE(dados->Cliente->state(), EstadoDataset::Browse);
        abre(); // created again at the next choice
        QVERIFY(!tela.isNull());
    }

    void searchListConfirmsAClient()
    {
        const qint64 a = insere("ANA SILVA", "11111111111");
        insere("BIA SOUZA", "22222222222");
        abre();
        caixas.respondeModal([](QObject* janela) {
            auto* lista = qobject_cast<TConsultaListaPac*>(janela);
            lista->show();
            lista->Timer1->stop();
            QTest::keyClicks(lista->findChild<QLineEdit*>("w_Busca"), "ANA");
            for (int i = 0; i < 11; ++i)
                lista->Timer1Timer();
            lista->BitBtn1Click();
            return lista->result();
        });
        tecla(Qt::Key_F3);
        QCOMPARE(mostrado(), a);
        QCOMPARE(texto("w_Nome"), QStringLiteral("ANA SILVA"));
        // one list per screen, kept for the next search
        TConsultaListaPac* lista = tela->listaPacientes();
        QVERIFY(lista);
        tecla(Qt::Key_F3);
        QCOMPARE(tela->listaPacientes(), lista);
    }
};

QTEST_MAIN(CadastroCliente)
#include "gui_cliente.moc"
