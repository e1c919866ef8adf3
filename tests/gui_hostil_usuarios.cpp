// Hostile operator input on the user registry, the company screen and the password windows:
// quotes, a statement, wildcards, accents, an emoji, tabs and line breaks, a backslash and texts
// at and past the column's length. Free text is stored and shown back unchanged (upper-cased
// where the box upper-cases); boxes that take digits store digits or refuse with the program's
// own message; passwords are stored as typed and compared exactly; nothing else changes and no
// server message ever reaches the operator.
#include "common/acessos.h"
#include "common/dialogos.h"
#include "common/sessao.h"
#include "common/texto.h"
#include "data/arquivos.h"
#include "testdb.h"
#include "textohostil.h"
#include "users/senhas.h"
#include "users/xAlteraSenha.h"
#include "users/xEmpresas.h"
#include "users/xRecuperaSenha.h"
#include "users/xUsuarios.h"

#include <QTabWidget>
#include <QtTest>

namespace {

const int TamanhoSenha = 40; // USUARIOS.SENHA

// Users 2 ANA and 3 BRUNO beside the administrator, and a second company, so that every change
// has neighbours that must stay as they were.
struct Base
{
    DialogosRoteirizados caixas;
    Dialogos* anterior = defineDialogos(&caixas);
    TestDatabase db;
    TDados dados{db.settings()};

    Base()
    {
        sessao().UsuarioEmUso = QStringLiteral("1");
        sessao().NomeAplicativo = QStringLiteral("COMEDAL");
        dados.SistemaCentral = QStringLiteral("Comedal");
        db.exec(QStringLiteral(
            "insert into USUARIOS (NOME, APELIDO, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA, "
            "MATRICULA, CELULAR) values ('ANA', 'ANINHA', 'Velha1', 'SALVADOR', 'CENTRO', '12345678909', "
            "'1980-03-12', 'S', 'N', 77, '71988887777');\n"
            "insert into USUARIOS (NOME, SENHA, CIDADE, BAIRRO, CPF, NASCIMENTO, ATIVO, SOLICITASENHA) "
            "values ('BRUNO', 'Bruno1', 'SALVADOR', 'BARRA', '52998224725', '1990-07-01', 'S', 'N');\n"
            "insert into EMPRESAS (ID, CNPJ, RAZAOSOCIAL, FANTASIA, CIDADE) "
            "values (2, '11444777000161', 'OUTRA LTDA', 'OUTRA', 'RECIFE');\n"
            "update USUARIOS set EXPIRA = '2030-12-31';\n"));
        SelecionaAcessos(1);
        dados.Usuarios->open();
    }
    ~Base() { defineDialogos(anterior); }

    // The rows a change of user 2 (or of company 1) must leave alone.
    QString vizinhos() const
    {
        return hostil::impressao(db, QStringLiteral("select * from USUARIOS where ID <> 2 order by ID")) +
               hostil::impressao(db, QStringLiteral("select * from EMPRESAS where ID <> 1 order by ID")) +
               hostil::impressao(db, QStringLiteral("select count(*) from LOGUSUARIO"));
    }
    QString usuario2() const { return hostil::impressao(db, QStringLiteral("select * from USUARIOS where ID = 2")); }
    // A text column as another workstation reads it (blobs hold UTF-8 text).
    QString texto(const QString& sql) const
    {
        const QVariant v = db.valor(sql);
        return v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
    }
    QStringList estranhas(const QList<QRegularExpression>& proprias = {}) const
    {
        return hostil::estranhas(caixas.textos(), hostil::mensagensDeEntrada() + proprias);
    }
    // The registry shown on ANA and opened for change.
    bool alteraAna(TCad_Usuario& tela)
    {
        if (!hostil::mostra(&tela) || !dados.Usuarios->locate({QStringLiteral("ID")}, {2})) return false;
        hostil::clica(&tela, "Alterar");
        return dados.Usuarios->isEditing();
    }
};

using hostil::clica;
using hostil::filho;
using hostil::mostra;
using hostil::textoDe;

// Shows the tab that holds the box, so that the operator could reach it.
void mostraAbaDe(QWidget* tela, QWidget* caixa)
{
    auto* abas = filho<QTabWidget>(tela, "PageControl");
    for (int i = 0; i < abas->count(); ++i)
        if (abas->widget(i)->isAncestorOf(caixa)) abas->setCurrentIndex(i);
}

// A free-text box: its column and how many characters it takes (0: no limit).
struct CaixaLivre
{
    const char* nome;
    const char* coluna;
    int tamanho;
    bool maiusculas;
};

// A box that takes digits only (a mask, or a number): how many digits fill it.
struct CaixaDigitos
{
    const char* nome;
    const char* coluna;
    int digitos;
};

// A text that differs from the password only at its end.
QString outraSenha(const QString& senha)
{
    return senha + u'!';
}

} // namespace

class HostileUserInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // ---------------------------------------------------------------- user registry

    void cadastroTextoLivre_data() { hostil::linhas(); }
    void cadastroTextoLivre()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const CaixaLivre caixas[] = {
            {"w_Nome", "NOME", 100, true},
            {"w_Apelido", "APELIDO", 50, false},
            {"w_Cidade", "CIDADE", 40, false},
            {"w_Bairro", "BAIRRO", 40, false},
            {"w_Endereco", "ENDERECO", 50, false},
            {"w_Funcao", "FUNCAO", 100, true},
            {"w_Observacao", "OBSERVACAO", 0, false},
        };
        Base b;
        const QString vizinhos = b.vizinhos();
        TCad_Usuario tela;
        QVERIFY(b.alteraAna(tela));
        QHash<QString, QString> esperado;
        for (const CaixaLivre& c : caixas) {
            const QString t = hostil::texto(texto, medida, c.tamanho ? c.tamanho : 500);
            hostil::entra(filho(&tela, c.nome), t);
            const QString guardado = c.tamanho ? hostil::cabe(t, c.tamanho) : t;
            esperado.insert(QString::fromLatin1(c.nome), c.maiusculas ? guardado.toUpper() : guardado);
        }
        clica(&tela, "Confirmar");
        QCOMPARE(b.caixas.textos(), QStringList());
        QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Browse);

        QStringList diferencas;
        for (const CaixaLivre& c : caixas) {
            const QString nome = QString::fromLatin1(c.nome);
            const QString gravado =
                b.texto(QStringLiteral("select %1 from USUARIOS where ID = 2").arg(QString::fromLatin1(c.coluna)));
            if (gravado != esperado[nome]) diferencas << nome + QStringLiteral(" gravou ") + gravado;
        }
        // Read again: each box shows what was stored.
        b.dados.Usuarios->close();
        b.dados.Usuarios->open();
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        for (const CaixaLivre& c : caixas) {
            const QString nome = QString::fromLatin1(c.nome);
            if (textoDe(filho(&tela, c.nome)) != esperado[nome])
                diferencas << nome + QStringLiteral(" mostra ") + textoDe(filho(&tela, c.nome));
        }
        QCOMPARE(textoDe(filho(&tela, "w_Nome2")), esperado[QStringLiteral("w_Nome")]);
        QCOMPARE(diferencas, QStringList());
        QCOMPARE(b.vizinhos(), vizinhos);
    }

    void cadastroCaixasDeDigitos_data() { hostil::linhas(); }
    void cadastroCaixasDeDigitos()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const CaixaDigitos caixas[] = {
            {"w_CPF", "CPF", 11},
            {"w_CEP", "CEP", 8},
            {"w_Telefone", "TELEFONE2", 11},
            {"w_Celular", "CELULAR", 11},
            {"w_Nascimento", "NASCIMENTO", 8},
            {"w_Matricula", "MATRICULA", 14},
            {"w_Expira", "EXPIRA", 8},
            {"w_HoraInicio", "HORAINICIO", 4},
            {"w_HoraFim", "HORAFIM", 4},
            {"w_DataAdmissao", "DATAADMISSAO", 8},
        };
        Base b;
        const QString vizinhos = b.vizinhos();
        TCad_Usuario tela;
        QVERIFY(mostra(&tela));
        for (const CaixaDigitos& c : caixas) {
            QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
            const QString coluna = QString::fromLatin1(c.coluna);
            const QString sql = QStringLiteral("select %1 from USUARIOS where ID = 2").arg(coluna);
            const QVariant antes = b.db.valor(sql);
            b.caixas.limpa();
            clica(&tela, "Alterar");
            QWidget* caixa = filho(&tela, c.nome);
            mostraAbaDe(&tela, caixa);
            hostil::entra(caixa, hostil::texto(texto, medida, c.digitos, u'9'));
            clica(&tela, "Confirmar");
            // A date typed away leaves the user without expiry: saying so is expected.
            const QList<QRegularExpression> semExpiracao{
                QRegularExpression(QStringLiteral("^\"Senha Expira em\" não foi informada"))};
            QVERIFY2(b.estranhas(semExpiracao).isEmpty(),
                     qPrintable(QString::fromLatin1(c.nome) + u':' + b.estranhas(semExpiracao).join(u'|')));
            // What was kept is the old value, nothing (the box shows it empty) or digits that fit.
            const QVariant depois = b.db.valor(sql);
            if (depois != antes && !depois.isNull()) {
                const QString t = depois.toString();
                const bool digitos = QRegularExpression(QStringLiteral("^\\d+$")).match(t).hasMatch();
                const bool data = depois.typeId() == QMetaType::QDate || depois.typeId() == QMetaType::QTime;
                QVERIFY2((digitos && t.size() <= c.digitos) || data || depois.typeId() == QMetaType::Int ||
                             depois.typeId() == QMetaType::LongLong,
                         qPrintable(QString::fromLatin1(c.nome) + QStringLiteral(" gravou ") + t));
            }
            if (b.dados.Usuarios->isEditing()) {
                b.caixas.responde(Botao::Sim);
                clica(&tela, "NaoConfirmar");
            }
            QCOMPARE(b.dados.Usuarios->state(), EstadoDataset::Browse);
            mostraAbaDe(&tela, filho(&tela, "w_Nome"));
        }
        QCOMPARE(b.vizinhos(), vizinhos);
    }

    // The registration number is an INTEGER: a number past its range is the screen's refusal,
    // never the server's.
    void cadastroMatriculaForaDaFaixa_data()
    {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QVariant>("gravado"); // invalid: refused, the old value stays
        QTest::newRow("maior inteiro") << "2147483647" << QVariant(2147483647);
        QTest::newRow("um além") << "2147483648" << QVariant();
        QTest::newRow("catorze noves") << "99999999999999" << QVariant();
    }
    void cadastroMatriculaForaDaFaixa()
    {
        QFETCH(QString, digitado);
        QFETCH(QVariant, gravado);
        Base b;
        const QString vizinhos = b.vizinhos();
        TCad_Usuario tela;
        QVERIFY(b.alteraAna(tela));
        hostil::entra(filho(&tela, "w_Matricula"), digitado);
        clica(&tela, "Confirmar");
        const QVariant matricula = b.db.valor(QStringLiteral("select MATRICULA from USUARIOS where ID = 2"));
        if (gravado.isValid()) {
            QCOMPARE(b.caixas.textos(), QStringList());
            QCOMPARE(matricula.toLongLong(), gravado.toLongLong());
        } else {
            QCOMPARE(b.caixas.textos(),
                     QStringList{QStringLiteral("'%1' não é um valor inteiro válido.").arg(digitado)});
            QCOMPARE(matricula.toInt(), 77);
            QVERIFY(b.dados.Usuarios->isEditing());
        }
        QCOMPARE(b.vizinhos(), vizinhos);
    }

    // The pick lists (sex, state) take typing as a search among their entries only.
    void cadastroListas_data() { hostil::linhas(); }
    void cadastroListas()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        Base b;
        TCad_Usuario tela;
        QVERIFY(b.alteraAna(tela));
        hostil::digita(filho(&tela, "w_UF"), hostil::texto(texto, medida, 2));
        QWidget* sexo = filho(&tela, "w_Sexo");
        mostraAbaDe(&tela, sexo);
        hostil::digita(sexo, hostil::texto(texto, medida, 1));
        clica(&tela, "Confirmar");
        QCOMPARE(b.estranhas(), QStringList());
        const QVariant gravado = b.db.valor(QStringLiteral("select SEXO from USUARIOS where ID = 2"));
        QVERIFY2(gravado.isNull() || gravado.toString() == QStringLiteral("M") ||
                     gravado.toString() == QStringLiteral("F"),
                 qPrintable(gravado.toString()));
        const QVariant uf = b.db.valor(QStringLiteral("select UF from USUARIOS where ID = 2"));
        QVERIFY(
            uf.isNull() ||
            b.db.valor(QStringLiteral("select count(*) from UNIDADEFEDERACAO where ID = %1").arg(uf.toInt())).toInt() ==
                1);
    }

    void cadastroSenha_data() { hostil::linhas(); }
    void cadastroSenha()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const QString senha = hostil::texto(texto, medida, TamanhoSenha);
        Base b;
        const QString vizinhos = b.vizinhos();
        TCad_Usuario tela;
        QVERIFY(b.alteraAna(tela));
        hostil::entra(filho(&tela, "w_Senha"), senha);
        clica(&tela, "Confirmar");
        const QString sql = QStringLiteral("select SENHA from USUARIOS where ID = 2");
        if (senha.size() < TamanhoMinimoSenha || senha.size() > TamanhoSenha) {
            // Refused as a whole: a password box shows stars, so cutting it would go unseen.
            QCOMPARE(b.caixas.textos(),
                     QStringList{senha.size() < TamanhoMinimoSenha ? mensagemSenhaCurta() : mensagemSenhaLonga()});
            QVERIFY(b.dados.Usuarios->isEditing());
            QCOMPARE(b.texto(sql), QStringLiteral("Velha1"));
        } else {
            QCOMPARE(b.caixas.textos(), QStringList());
            QCOMPARE(b.texto(sql), senha);
            QCOMPARE(b.texto(QStringLiteral("select SOLICITASENHA from USUARIOS where ID = 2")), QStringLiteral("S"));
        }
        QCOMPARE(b.vizinhos(), vizinhos);
    }

    void cadastroIrPara_data() { hostil::linhas(); }
    void cadastroIrPara()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const QString resposta = hostil::texto(texto, medida, 20);
        Base b;
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        b.caixas.respondeEntrada(resposta);
        clica(&tela, "BotaoCodigo");
        QCOMPARE(b.caixas.textos(), QStringList{QStringLiteral("'%1' não é um valor inteiro válido.").arg(resposta)});
        QCOMPARE(b.dados.Usuarios->value("ID").toInt(), 2);
        b.dados.Usuarios->fetchAll();
        QCOMPARE(b.dados.Usuarios->recordCount(), 3);
    }

    // Numbers the key column cannot hold are refused by the conversion, not by the server.
    void cadastroIrParaNumeroForaDaChave_data()
    {
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<QStringList>("mensagens");
        QTest::newRow("maior inteiro") << "2147483647" << QStringList{"Registro não Encontrado!"};
        QTest::newRow("além do inteiro") << "2147483648" << QStringList{"'2147483648' não é um valor inteiro válido."};
        QTest::newRow("além de 64 bits") << "99999999999999999999"
                                         << QStringList{"'99999999999999999999' não é um valor inteiro válido."};
        QTest::newRow("negativo enorme") << "-9999999999"
                                         << QStringList{"'-9999999999' não é um valor inteiro válido."};
    }
    void cadastroIrParaNumeroForaDaChave()
    {
        QFETCH(QString, resposta);
        QFETCH(QStringList, mensagens);
        Base b;
        TCad_Usuario tela;
        QVERIFY(b.dados.Usuarios->locate({"ID"}, {2}));
        b.caixas.respondeEntrada(resposta);
        clica(&tela, "BotaoCodigo");
        QCOMPARE(b.caixas.textos(), mensagens);
        QCOMPARE(b.dados.Usuarios->value("ID").toInt(), 2);
    }

    // ---------------------------------------------------------------- company

    void empresaTextoLivre_data() { hostil::linhas(); }
    void empresaTextoLivre()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        // No mask on this screen: postal code and telephones are free text of their columns' size.
        const CaixaLivre caixas[] = {
            {"w_Fantasia", "FANTASIA", 50, false},
            {"w_CEP", "CEP", 8, false},
            {"w_Cidade", "CIDADE", 40, false},
            {"w_Bairro", "BAIRRO", 40, false},
            {"w_Endereco", "ENDERECO", 60, false},
            {"w_Numero", "NUMERO", 8, false},
            {"w_Telefone", "TELEFONE", 14, false},
            {"w_TelefoneWhatsapp", "TELEFONEWHATSAPP", 11, false},
            {"w_IE", "IE", 20, false},
            {"w_IM", "IM", 20, false},
        };
        Base b;
        const QString vizinhos = b.vizinhos();
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        QCOMPARE(b.dados.Empresas->value("ID").toInt(), 1);
        QHash<QString, QString> esperado;
        for (const CaixaLivre& c : caixas) {
            const QString t = hostil::texto(texto, medida, c.tamanho);
            hostil::entra(filho(&tela, c.nome), t);
            esperado.insert(QString::fromLatin1(c.nome), hostil::cabe(t, c.tamanho));
        }
        clica(&tela, "Confirmar");
        QCOMPARE(b.caixas.textos(), QStringList());
        QCOMPARE(b.dados.Empresas->state(), EstadoDataset::Browse);
        QCOMPARE(b.dados.Empresas->value("ID").toInt(), 1);
        QStringList diferencas;
        for (const CaixaLivre& c : caixas) {
            const QString nome = QString::fromLatin1(c.nome);
            const QString gravado =
                b.texto(QStringLiteral("select %1 from EMPRESAS where ID = 1").arg(QString::fromLatin1(c.coluna)));
            if (gravado != esperado[nome]) diferencas << nome + QStringLiteral(" gravou ") + gravado;
            // The screen read the company again after saving.
            if (textoDe(filho(&tela, c.nome)) != esperado[nome])
                diferencas << nome + QStringLiteral(" mostra ") + textoDe(filho(&tela, c.nome));
        }
        QCOMPARE(diferencas, QStringList());
        QCOMPARE(b.vizinhos(), vizinhos);
    }

    void empresaEstado_data() { hostil::linhas(); }
    void empresaEstado()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        Base b;
        TEmpresa tela;
        QVERIFY(mostra(&tela));
        hostil::digita(filho(&tela, "w_UF"), hostil::texto(texto, medida, 2));
        if (b.dados.Empresas->isEditing()) clica(&tela, "Confirmar");
        QCOMPARE(b.estranhas(), QStringList());
        // Only a state of the list can be stored.
        const QVariant uf = b.db.valor(QStringLiteral("select UF from EMPRESAS where ID = 1"));
        QVERIFY(
            b.db.valor(QStringLiteral("select count(*) from UNIDADEFEDERACAO where ID = %1").arg(uf.toInt())).toInt() ==
            1);
    }

    // ---------------------------------------------------------------- password change

    void trocaDeSenha_data() { hostil::linhas(); }
    void trocaDeSenha()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        const QString senha = hostil::texto(texto, medida, TamanhoSenha);
        Base b;
        sessao().UsuarioEmUso = QStringLiteral("2");
        const QString vizinhos = b.vizinhos();
        const QString sql = QStringLiteral("select SENHA from USUARIOS where ID = 2");

        TAlteraSenha troca;
        QVERIFY(mostra(&troca));
        hostil::entra(filho(&troca, "w_SenhaAntiga"), QStringLiteral("Velha1"));
        hostil::entra(filho(&troca, "w_NovaSenha"), senha);
        hostil::entra(filho(&troca, "w_ConfirmaSenha"), senha);
        clica(&troca, "Alterar");
        if (senha.size() < TamanhoMinimoSenha || senha.size() > TamanhoSenha) {
            QCOMPARE(b.caixas.textos(),
                     QStringList{senha.size() < TamanhoMinimoSenha ? mensagemSenhaCurta() : mensagemSenhaLonga()});
            QVERIFY(!troca.alterada());
            QCOMPARE(b.texto(sql), QStringLiteral("Velha1"));
            QCOMPARE(b.vizinhos(), vizinhos);
            return;
        }
        QCOMPARE(b.caixas.textos(), QStringList());
        QVERIFY(troca.alterada());
        QCOMPARE(b.texto(sql), senha);
        QCOMPARE(b.texto(QStringLiteral("select SOLICITASENHA from USUARIOS where ID = 2")), QStringLiteral("N"));

        // The stored text is now the old password: compared exactly, it opens the next change.
        TAlteraSenha outra;
        QVERIFY(mostra(&outra));
        hostil::entra(filho(&outra, "w_SenhaAntiga"), outraSenha(senha));
        hostil::entra(filho(&outra, "w_NovaSenha"), QStringLiteral("Nova1234"));
        hostil::entra(filho(&outra, "w_ConfirmaSenha"), QStringLiteral("Nova1234"));
        clica(&outra, "Alterar");
        QCOMPARE(b.caixas.textos(), QStringList{QStringLiteral("Senha antiga não confere.")});
        QCOMPARE(b.texto(sql), senha);
        hostil::entra(filho(&outra, "w_SenhaAntiga"), senha);
        clica(&outra, "Alterar");
        QVERIFY(outra.alterada());
        QCOMPARE(b.texto(sql), QStringLiteral("Nova1234"));
        QCOMPARE(b.vizinhos(), vizinhos);
    }

    // ---------------------------------------------------------------- password recovery

    void recuperacao_data() { hostil::linhas(); }
    void recuperacao()
    {
        QFETCH(QString, texto);
        QFETCH(int, medida);
        Base b;
        const QString antes = b.usuario2() + b.vizinhos();
        TRecuperarSenha janela;
        int encerrou = 0;
        janela.encerraAplicacao = [&encerrou] { ++encerrou; };
        QVERIFY(mostra(&janela));
        const QList<QRegularExpression> proprias = {
            hostil::exata(QStringLiteral("Obrigatório preenchimento de CPF")),
            hostil::exata(QStringLiteral("Obrigatório preenchimento da Data de Nascimento")),
            hostil::exata(QStringLiteral("AtençãoDeve-se Digitar CPF Valido\nsem ., / ou - ")),
            hostil::exata(QStringLiteral("Número de C.P.F. Invalido.")),
            hostil::exata(QStringLiteral("Data de Nascimento inválida.")),
        };
        // The text in the CPF box, then in the birth date box beside ANA's CPF.
        hostil::entra(filho(&janela, "w_CPF"), hostil::texto(texto, medida, 11, u'9'));
        hostil::entra(filho(&janela, "w_Nascimento"), QStringLiteral("12031980"));
        clica(&janela, "Recuperar");
        hostil::entra(filho(&janela, "w_CPF"), QStringLiteral("12345678909"));
        hostil::entra(filho(&janela, "w_Nascimento"), hostil::texto(texto, medida, 8, u'9'));
        clica(&janela, "Recuperar");
        QCOMPARE(b.estranhas(proprias), QStringList());
        QCOMPARE(janela.contador, 3); // nothing typed here counts as a failed identification
        QCOMPARE(encerrou, 0);
        QCOMPARE(b.usuario2() + b.vizinhos(), antes);
    }
};

QTEST_MAIN(HostileUserInput)
#include "gui_hostil_usuarios.moc"
