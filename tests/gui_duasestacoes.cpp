// Two workstations change the same row at once. Workstation A is a connection of its own whose
// update is not committed yet (a post in flight holds the row); workstation B is the real screen,
// whose operator changes a box and presses Confirmar. B is refused at once with the server's text
// and keeps what was typed; then B either gives up and sees what A stored, or confirms again once
// A has committed and its own values are stored. The same for the meal, client, user and company
// screens. The transaction is "nowait": were it waiting, Confirmar would never return here, as A
// commits only afterwards on this same thread.
#include "clients/Pacientes.h"
#include "common/acessos.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "testdb.h"
#include "users/xEmpresas.h"
#include "users/xUsuarios.h"
#include "weighing/xPessagem.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Two meals, two clients, users 2 ANA and 3 BRUNO besides the administrator, a second company.
// The screens open on the newest meal, the last client and the first company.
const char* const kFicha =
    "insert into CLIENTE (ID, NOME, MAE, SEXO, CPF, ENDERECO) values (1, 'MARIA DA SILVA', 'JOANA', 'F', "
    "'12345678909', 'RUA A');\n"
    "insert into CLIENTE (ID, NOME, MAE, SEXO, CPF, ENDERECO, APELIDO) values (2, 'ANA SOUZA', 'RITA', 'F', "
    "'52998224725', 'RUA B', 'ANA');\n"
    "set generator GEN_CLIENTE to 2;\n"
    "insert into REFEICAO (ID, CPF, DATA, HORA, PESO) values (1, '12345678909', '2026-03-13', '12:00:00', 0.5);\n"
    "insert into REFEICAO (ID, CPF, DATA, HORA, PESO, OBSERVACAO) values (2, '52998224725', '2026-03-14', "
    "'12:10:00', 0.6, 'SEM SAL');\n"
    "set generator GEN_REFEICAO to 2;\n"
    "insert into USUARIOS (ID, NOME, APELIDO, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
    "values (2, 'ANA', 'ANINHA', 'Ana123', 'SALVADOR', 'CENTRO', '12345678909', '1980-03-12', 'S', 'N');\n"
    "insert into USUARIOS (ID, NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
    "values (3, 'BRUNO', 'Bruno1', 'SALVADOR', 'BARRA', '52998224725', '1990-07-01', 'S', 'N');\n"
    "set generator GEN_USUARIOS to 3;\n"
    "update USUARIOS set EXPIRA = '2030-12-31';\n"
    "insert into EMPRESAS (ID, CNPJ, RAZAOSOCIAL, FANTASIA, BAIRRO) values (2, '11444777000161', 'SEGUNDA LTDA', "
    "'SEGUNDA', 'BARRA');\n"
    "set generator GEN_EMPRESAS to 2;\n";

// One record screen as the two workstations meet it.
struct Tela
{
    QString tabela;
    qint64 id = 0;    // the row both workstations change
    qint64 outro = 0; // a row nobody touches
    // What B's operator types, into which box, for which column.
    const char* caixaB;
    QString colunaB;
    QString digitado;
    // The column A writes, its value and how B's screen shows it.
    const char* caixaA;
    QString colunaA;
    QVariant valorA;
    QString mostradoA;
    // The question NaoConfirmar asks; empty: it asks none.
    QString pergunta;
    // Columns B's post fills by itself (the change's audit group).
    QStringList auditoria;
    // The screen, shown on the row, and the dataset behind it.
    std::function<std::pair<QWidget*, Dataset*>()> abre;
};

Tela tela(const QString& nome)
{
    if (nome == QLatin1String("refeicao"))
        return {.tabela = QStringLiteral("REFEICAO"),
                .id = 2,
                .outro = 1,
                .caixaB = "w_Observacao",
                .colunaB = QStringLiteral("OBSERVACAO"),
                .digitado = QStringLiteral("COM FEIJÃO"),
                .caixaA = "w_Peso",
                .colunaA = QStringLiteral("PESO"),
                .valorA = 0.75,
                .mostradoA = QStringLiteral("0,75"),
                .pergunta = QStringLiteral("Cancelar Atualizações no Registro?"),
                .auditoria = {QStringLiteral("USER2"), QStringLiteral("DATAUSER2"), QStringLiteral("IP2"),
                              QStringLiteral("VERSAO2")},
                .abre = [] {
                    auto* t = new TPessagem;
                    return std::pair<QWidget*, Dataset*>(t, t->Refeicao);
                }};
    if (nome == QLatin1String("cliente"))
        return {.tabela = QStringLiteral("CLIENTE"),
                .id = 2,
                .outro = 1,
                .caixaB = "w_Apelido",
                .colunaB = QStringLiteral("APELIDO"),
                .digitado = QStringLiteral("ANINHA"),
                .caixaA = "w_ENDERECO",
                .colunaA = QStringLiteral("ENDERECO"),
                .valorA = QStringLiteral("RUA NOVA"),
                .mostradoA = QStringLiteral("RUA NOVA"),
                .pergunta = QStringLiteral("Cancelar Atualizações no Registro?"),
                .auditoria = {},
                .abre = [] { return std::pair<QWidget*, Dataset*>(new TCad_Cliente, Dados->Cliente); }};
    if (nome == QLatin1String("usuario"))
        return {.tabela = QStringLiteral("USUARIOS"),
                .id = 2,
                .outro = 3,
                .caixaB = "w_Apelido",
                .colunaB = QStringLiteral("APELIDO"),
                .digitado = QStringLiteral("Aninha da Silva"),
                .caixaA = "w_Cidade",
                .colunaA = QStringLiteral("CIDADE"),
                .valorA = QStringLiteral("FEIRA DE SANTANA"),
                .mostradoA = QStringLiteral("FEIRA DE SANTANA"),
                .pergunta = QStringLiteral("Deseja Cancelar Atualização?"),
                .auditoria = {},
                .abre = [] {
                    Dados->Usuarios->open();
                    auto* t = new TCad_Usuario;
                    Dados->Usuarios->locate({QStringLiteral("ID")}, {2});
                    return std::pair<QWidget*, Dataset*>(t, Dados->Usuarios);
                }};
    return {.tabela = QStringLiteral("EMPRESAS"),
            .id = 1,
            .outro = 2,
            .caixaB = "w_Fantasia",
            .colunaB = QStringLiteral("FANTASIA"),
            .digitado = QStringLiteral("CANTINA DO POVO"),
            .caixaA = "w_Bairro",
            .colunaA = QStringLiteral("BAIRRO"),
            .valorA = QStringLiteral("COMERCIO"),
            .mostradoA = QStringLiteral("COMERCIO"),
            .pergunta = QString(), // the company screen cancels without asking
            .auditoria = {},
            .abre = [] { return std::pair<QWidget*, Dataset*>(new TEmpresa, Dados->Empresas); }};
}

// Workstation A: a connection and transaction of its own, the row updated and not committed yet.
class EstacaoA
{
public:
    EstacaoA(const TestDatabase& db, const Tela& t) : att_(db.attach()), tra_(att_)
    {
        fb::Statement st(att_, tra_,
                         QStringLiteral("update %1 set %2 = :VALOR where ID = :ID").arg(t.tabela, t.colunaA));
        st.setParameter(QStringLiteral("VALOR"), t.valorA);
        st.setParameter(QStringLiteral("ID"), t.id);
        st.execute();
    }
    void confirma() { tra_.commit(); }

private:
    fb::Attachment att_;
    fb::Transaction tra_;
};

// A whole row, column by column, as a third workstation reads it.
QVariantMap linha(const TestDatabase& db, const QString& tabela, qint64 id)
{
    fb::Attachment att = db.attach();
    fb::Transaction tra(att);
    fb::Statement st(att, tra, QStringLiteral("select * from %1 where ID = :ID").arg(tabela));
    st.setParameter(QStringLiteral("ID"), id);
    st.execute();
    QVariantMap m;
    if (st.fetch())
        for (int i = 0; i < st.columnCount(); ++i)
            m.insert(st.column(i).alias, st.value(i));
    return m;
}

} // namespace

class DuasEstacoes : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;
    DialogosRoteirizados caixas;
    std::unique_ptr<QWidget> janela;
    Dataset* ds = nullptr;

    template <class T = QWidget> T* w(const char* nome) const
    {
        T* x = janela->findChild<T*>(QString::fromLatin1(nome));
        if (!x) qFatal("widget %s not found", nome);
        return x;
    }
    QString texto(const char* caixa) const
    {
        if (auto* m = janela->findChild<QPlainTextEdit*>(QString::fromLatin1(caixa))) return m->toPlainText();
        return w<QLineEdit>(caixa)->text();
    }
    void clica(const char* botao) const { w<QAbstractButton>(botao)->click(); }
    void digita(const char* caixa, const QString& t) const
    {
        QWidget* c = w(caixa);
        c->setFocus();
        if (auto* e = qobject_cast<QLineEdit*>(c)) e->selectAll();
        if (auto* m = qobject_cast<QPlainTextEdit*>(c)) m->selectAll();
        QTest::keyClicks(c, t);
    }
    // "Editando..." where the screen shows its state.
    QString estado() const
    {
        auto* l = janela->findChild<QLabel*>(QStringLiteral("Estado"));
        return l ? l->text() : TelaCadastro::textoEstado(ds->state());
    }

    static void telas()
    {
        QTest::addColumn<QString>("nome");
        for (const char* n : {"refeicao", "cliente", "usuario", "empresa"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }

    void abre(const Tela& t)
    {
        const auto [tela, conjunto] = t.abre();
        janela.reset(tela);
        ds = conjunto;
        janela->resize(1100, 760);
        janela->show();
        janela->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(janela.get()));
        QCOMPARE(ds->state(), EstadoDataset::Browse);
        QCOMPARE(ds->value(QStringLiteral("ID")).toLongLong(), t.id);
    }

    // A holds the row; B's operator changes the box and presses Confirmar: the server's refusal
    // in the error box, at once, and nothing of B's lost: still editing, the typed text in its box.
    void recusado(const Tela& t)
    {
        clica("Alterar");
        QCOMPARE(ds->state(), EstadoDataset::Edit);
        digita(t.caixaB, t.digitado);
        clica("Confirmar");

        QCOMPARE(caixas.caixas().size(), 1);
        const DialogosRoteirizados::Caixa& c = caixas.caixas().first();
        QCOMPARE(int(c.tipo), int(TipoCaixa::Erro));
        QCOMPARE(c.titulo, tituloAplicacao());
        // What happened in Portuguese, then the server's own text.
        static const QRegularExpression conflito(QStringLiteral(
            "^O registro está sendo alterado em outra estação; tente de novo ou cancele.\n"
            "deadlock\n-update conflicts with concurrent update\n-concurrent transaction number is \\d+\\.$"));
        QVERIFY2(conflito.match(c.texto).hasMatch(), qPrintable(c.texto));

        QCOMPARE(ds->state(), EstadoDataset::Edit);
        QCOMPARE(estado(), QStringLiteral("Editando..."));
        QCOMPARE(texto(t.caixaB), t.digitado);
        QCOMPARE(ds->value(t.colunaB).toString(), t.digitado);
        QVERIFY(w("Confirmar")->isEnabled());
        QVERIFY(w("NaoConfirmar")->isEnabled());
    }

private Q_SLOTS:
    void initTestCase()
    {
        definePastaFiguras(QStringLiteral(COMEDAL_SOURCE_DIR "/figuras"));
        parametros().limpa();
    }
    void init()
    {
        db = std::make_unique<TestDatabase>();
        db->exec(QString::fromUtf8(kFicha));
        dados = std::make_unique<TDados>(db->settings());
        caixas.limpa();
        defineDialogos(&caixas);
        sessao().UsuarioEmUso = QStringLiteral("1");
        SelecionaAcessos(1);
    }
    void cleanup()
    {
        janela.reset();
        ds = nullptr;
        defineDialogos(nullptr);
        dados.reset();
        db.reset();
    }

    // B gives up after A committed: the screen shows A's data, and A's commit is what is stored.
    void refusedThenCancelShowsTheOtherStation_data() { telas(); }
    void refusedThenCancelShowsTheOtherStation()
    {
        QFETCH(QString, nome);
        const Tela t = tela(nome);
        abre(t);
        if (QTest::currentTestFailed()) return;
        const QString antesB = texto(t.caixaB);
        const QVariantMap outro = linha(*db, t.tabela, t.outro);
        QVERIFY(!outro.isEmpty());

        EstacaoA a(*db, t);
        recusado(t);
        if (QTest::currentTestFailed()) return;
        a.confirma();
        const QVariantMap deA = linha(*db, t.tabela, t.id);
        QCOMPARE(deA.value(t.colunaA).toString(), t.valorA.toString());

        if (!t.pergunta.isEmpty()) caixas.responde(Botao::Sim);
        clica("NaoConfirmar");
        QStringList esperadas{caixas.textos().first()};
        if (!t.pergunta.isEmpty()) esperadas << t.pergunta;
        QCOMPARE(caixas.textos(), esperadas);
        QCOMPARE(ds->state(), EstadoDataset::Browse);
        QCOMPARE(estado(), QStringLiteral("Navegando..."));
        QCOMPARE(ds->value(QStringLiteral("ID")).toLongLong(), t.id);
        // The row as A left it, on the screen and in the database.
        QCOMPARE(texto(t.caixaA), t.mostradoA);
        QCOMPARE(texto(t.caixaB), antesB);
        QCOMPARE(linha(*db, t.tabela, t.id), deA);
        QCOMPARE(linha(*db, t.tabela, t.outro), outro);
    }

    // B confirms again once A committed: B's change is stored and A's change of another column stays.
    void refusedThenRetryStoresOwnValues_data() { telas(); }
    void refusedThenRetryStoresOwnValues()
    {
        QFETCH(QString, nome);
        const Tela t = tela(nome);
        abre(t);
        if (QTest::currentTestFailed()) return;
        const QVariantMap antes = linha(*db, t.tabela, t.id);
        const QVariantMap outro = linha(*db, t.tabela, t.outro);

        EstacaoA a(*db, t);
        recusado(t);
        if (QTest::currentTestFailed()) return;
        // Too early: A still holds the row. Refused the same way, still nothing lost.
        clica("Confirmar");
        QCOMPARE(caixas.caixas().size(), 2);
        QCOMPARE(int(caixas.caixas().last().tipo), int(TipoCaixa::Erro));
        QCOMPARE(ds->state(), EstadoDataset::Edit);
        QCOMPARE(texto(t.caixaB), t.digitado);
        a.confirma();
        const QVariantMap deA = linha(*db, t.tabela, t.id);

        clica("Confirmar");
        QCOMPARE(caixas.caixas().size(), 2); // nothing more to say
        QCOMPARE(ds->state(), EstadoDataset::Browse);
        QCOMPARE(ds->value(QStringLiteral("ID")).toLongLong(), t.id);
        QCOMPARE(texto(t.caixaB), t.digitado);
        const QVariantMap depois = linha(*db, t.tabela, t.id);
        QCOMPARE(depois.value(t.colunaB).toString(), t.digitado);
        for (auto c = deA.cbegin(); c != deA.cend(); ++c) {
            if (c.key() == t.colunaB || c.key() == t.colunaA || t.auditoria.contains(c.key())) continue;
            QVERIFY2(depois.value(c.key()) == c.value(), qPrintable(c.key()));
        }
        for (const QString& c : t.auditoria)
            QVERIFY2(!depois.value(c).isNull(), qPrintable(c));
        QCOMPARE(linha(*db, t.tabela, t.outro), outro);
        // Only the columns B changed are written: A's change of another column stays.
        QCOMPARE(depois.value(t.colunaA), deA.value(t.colunaA));
        QVERIFY(depois.value(t.colunaA) != antes.value(t.colunaA));
        QCOMPARE(texto(t.caixaA), t.mostradoA); // the screen shows what is stored
    }

    // A commits a change of one column while B's screen shows the row read before; B changes
    // another column and confirms: both changes are stored.
    void otherStationsCommittedChangeIsKept_data() { telas(); }
    void otherStationsCommittedChangeIsKept()
    {
        QFETCH(QString, nome);
        const Tela t = tela(nome);
        abre(t);
        if (QTest::currentTestFailed()) return;
        const QVariantMap antes = linha(*db, t.tabela, t.id);
        EstacaoA a(*db, t);
        a.confirma();

        clica("Alterar");
        QCOMPARE(ds->state(), EstadoDataset::Edit);
        digita(t.caixaB, t.digitado);
        clica("Confirmar");
        QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join(u'|')));
        QCOMPARE(ds->state(), EstadoDataset::Browse);

        const QVariantMap depois = linha(*db, t.tabela, t.id);
        QCOMPARE(depois.value(t.colunaB).toString(), t.digitado);
        QCOMPARE(depois.value(t.colunaA).toString(), t.valorA.toString());
        QVERIFY(depois.value(t.colunaA) != antes.value(t.colunaA));
        for (auto c = antes.cbegin(); c != antes.cend(); ++c) {
            if (c.key() == t.colunaB || c.key() == t.colunaA || t.auditoria.contains(c.key())) continue;
            QVERIFY2(depois.value(c.key()) == c.value(), qPrintable(c.key()));
        }
        QCOMPARE(texto(t.caixaA), t.mostradoA); // re-read after the post: the screen shows what is stored
    }

    // A is the export run marking the meal B is changing: once exported, B's change must not be
    // stored, and giving up shows the mark.
    void mealExportedMeanwhileStaysAsExported()
    {
        Tela t = tela(QStringLiteral("refeicao"));
        t.caixaA = "w_ExportadoEm";
        t.colunaA = QStringLiteral("EXPORTADOEM");
        t.valorA = QDateTime(QDate(2026, 3, 14), QTime(18, 0));
        abre(t);
        if (QTest::currentTestFailed()) return;
        EstacaoA a(*db, t);
        recusado(t);
        if (QTest::currentTestFailed()) return;
        a.confirma();
        const QVariantMap deA = linha(*db, t.tabela, t.id);

        const QString bloqueio = QStringLiteral("Registro já foi Exportado impossivel modificar");
        clica("Confirmar");
        QCOMPARE(caixas.textos().mid(1), QStringList{bloqueio});
        QCOMPARE(ds->state(), EstadoDataset::Edit);
        QCOMPARE(texto(t.caixaB), t.digitado);
        QCOMPARE(linha(*db, t.tabela, t.id), deA);

        caixas.responde(Botao::Sim);
        clica("NaoConfirmar");
        QCOMPARE(ds->state(), EstadoDataset::Browse);
        QCOMPARE(texto("w_ExportadoEm"), QStringLiteral("14/03/2026 18:00"));
        QCOMPARE(texto(t.caixaB), QStringLiteral("SEM SAL"));
        clica("Alterar");
        QCOMPARE(caixas.textos().last(), bloqueio);
        QCOMPARE(ds->state(), EstadoDataset::Browse);
        QCOMPARE(linha(*db, t.tabela, t.id), deA);
    }

    // The export marked the meal after the screen read it: deleting is refused all the same.
    void mealExportedMeanwhileIsNotDeleted()
    {
        const Tela t = tela(QStringLiteral("refeicao"));
        abre(t);
        if (QTest::currentTestFailed()) return;
        db->exec(QStringLiteral("update REFEICAO set EXPORTADOEM = '2026-03-14 18:00' where ID = 2"));
        caixas.responde(Botao::Sim); // should the screen ask, the meal would go
        clica("Excluir");
        QCOMPARE(caixas.textos(), QStringList{QStringLiteral("Registro já foi Exportado impossivel Excluir")});
        QCOMPARE(db->valor(QStringLiteral("select count(*) from REFEICAO where ID = 2")).toInt(), 1);
        QCOMPARE(texto("w_ExportadoEm"), QStringLiteral("14/03/2026 18:00"));
    }
};

QTEST_MAIN(DuasEstacoes)
#include "gui_duasestacoes.moc"
