// The rules of a client record on the shared client dataset of a real database: defaults, the name
// checks by state, the duplicate-name question, the sex guess, the CPF and identity warnings with
// their parameters, the phone rule, the code lists and the re-selection by key.
#include "clients/regrascliente.h"
#include "common/dialogos.h"
#include "common/mascara.h"
#include "common/parametros.h"
#include "common/texto.h"
#include "data/arquivos.h"
#include "testdb.h"

#include <QtTest>

Q_DECLARE_METATYPE(EstadoDataset)

namespace {
const QString kUmNome =
    QStringLiteral("Não é possivel utilizar apenas 1 nome\nNome do paciente deve ter no mínimo 2 nomes");
const QString kAbrev = QStringLiteral("Não é Permitida a abreviação do nome");
const QString kDuplo = QStringLiteral("Não é Permitida a utilização de Espaço Duplo");
const QString kAcento = QStringLiteral("Não é Permitida a utilização de acentuação no Nome do Paciente");
const QString kTelefone = QStringLiteral("Número do telefone deve ter 11 digitos");
const QString kMascaraFone = QStringLiteral("!\\(99\\)00000-0000;0;_");

void defineParametros(const QStringList& chaves, const QStringList& valores)
{
    parametros().limpa();
    parametros().VetorConfig = chaves;
    parametros().VetorConfigVal = valores;
}
} // namespace

class RegrasCliente : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;
    DialogosRoteirizados caixas;

    Dataset& cliente() { return *dados->Cliente; }

    // A stored client, committed; returns its key.
    qint64 insere(const QString& nome, const QString& cpf = QStringLiteral("11111111111"),
                  const QVariant& identidade = {}, const QVariant& pai = {},
                  const QString& mae = QStringLiteral("MAE DE TESTE"))
    {
        fb::Statement st(dados->fatura, dados->TransFatura,
                         "INSERT INTO CLIENTE (NOME, MAE, CPF, SEXO, IDENTIDADE, PAI, ATIVO) "
                         "VALUES (:NOME, :MAE, :CPF, 'M', :IDENTIDADE, :PAI, 'S') RETURNING ID");
        st.setParameter("NOME", nome);
        st.setParameter("MAE", mae);
        st.setParameter("CPF", cpf);
        st.setParameter("IDENTIDADE", identidade);
        st.setParameter("PAI", pai);
        st.execute();
        const qint64 id = st.value(0).toLongLong();
        dados->TransFatura.commitRetaining();
        return id;
    }
    void mostra(qint64 id) { FixaCliente(QString::number(id)); }
    void novo()
    {
        FixaCliente(QString());
        cliente().append();
    }
    void altera(qint64 id)
    {
        mostra(id);
        cliente().edit();
    }
    QVariant guardado(const QString& coluna, qint64 id)
    {
        fb::Statement st(dados->fatura, dados->TransFatura, "SELECT " + coluna + " FROM CLIENTE WHERE ID = :ID");
        st.setParameter("ID", id);
        st.execute();
        return st.fetch() ? st.value(0) : QVariant();
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        dados = std::make_unique<TDados>(db->settings());
        instalaRegrasCliente(*dados);
        caixas.limpa();
        defineDialogos(&caixas);
        defineParametros({}, {});
    }
    void cleanup()
    {
        defineDialogos(nullptr);
        dados.reset();
        db.reset();
        parametros().limpa();
    }

    // ---- defaults of a new client

    void defaultsOfANewClient_data()
    {
        QTest::addColumn<QVariant>("foneEmpresa");
        QTest::addColumn<QVariant>("cidadeEmpresa");
        QTest::addColumn<QVariant>("fone");
        QTest::addColumn<QVariant>("cidade");
        QTest::newRow("0 + area code + number")
            << QVariant("07132123456") << QVariant("SALVADOR") << QVariant("7132123456") << QVariant("SALVADOR");
        // a company phone wider than the client's column is cut instead of stopping Incluir
        QTest::newRow("long company phone") << QVariant("(071)3212-3456") << QVariant("JOAO PESSOA")
                                            << QVariant("071)3212-34") << QVariant("JOAO PESSOA");
        QTest::newRow("no company") << QVariant() << QVariant() << QVariant() << QVariant();
    }
    void defaultsOfANewClient()
    {
        QFETCH(QVariant, foneEmpresa);
        QFETCH(QVariant, cidadeEmpresa);
        QFETCH(QVariant, fone);
        QFETCH(QVariant, cidade);
        // the schema brings the company's row; the phone and city are the operator's to correct
        fb::Statement st(dados->fatura, dados->TransFatura,
                         foneEmpresa.isValid() ? "UPDATE EMPRESAS SET TELEFONE = :T, CIDADE = :C"
                                               : "DELETE FROM EMPRESAS");
        if (foneEmpresa.isValid()) {
            st.setParameter("T", foneEmpresa);
            st.setParameter("C", cidadeEmpresa);
        }
        st.execute();
        dados->TransFatura.commitRetaining();
        novo();
        QCOMPARE(cliente()["UF"].asInteger(), 1);
        QCOMPARE(cliente()["ATIVO"].asString(), QStringLiteral("S"));
        QCOMPARE(cliente()["RGUF"].asString(), QStringLiteral("1"));
        QCOMPARE(cliente()["NATURALIDADE"].asString(), QStringLiteral("PARAIBA"));
        QCOMPARE(cliente()["NACIONALIDADE"].asInteger(), 10);
        QCOMPARE(cliente()["TELEFONE"].value(), fone);
        QCOMPARE(cliente()["CELULAR"].value(), fone);
        QCOMPARE(cliente()["CIDADE"].value(), cidade);
    }

    // ---- name checks

    void nameChecks_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<bool>("incluindo");
        QTest::addColumn<QStringList>("mensagens");
        QTest::addColumn<bool>("aceito");
        QTest::newRow("one name, inserting") << "MARIA" << true << QStringList{kUmNome} << false;
        QTest::newRow("one name, editing") << "MARIA" << false << QStringList{kUmNome} << false;
        QTest::newRow("full stop, inserting") << "JOSE A. SILVA" << true << QStringList{kAbrev} << false;
        QTest::newRow("full stop, editing") << "JOSE A. SILVA" << false << QStringList{kAbrev} << true;
        QTest::newRow("two lone letters, editing") << "JOSE A B SILVA" << false << QStringList{kAbrev, kAbrev} << true;
        QTest::newRow("two lone letters, inserting") << "JOSE A B SILVA" << true << QStringList{kAbrev} << false;
        QTest::newRow("lone E is a word") << "JOAO E MARIA" << true << QStringList{} << true;
        QTest::newRow("double blank") << "ANA  LUIZA" << true << QStringList{kDuplo} << false;
        QTest::newRow("accented capital") << "JOSÉ SILVA" << true << QStringList{kAcento} << false;
        QTest::newRow("cedilla passes") << "GRAÇA SILVA" << true << QStringList{} << true;
        QTest::newRow("several checks, editing")
            << "JOSÉ  A. B SILVA" << false << QStringList{kAbrev, kDuplo, kAcento, kAbrev} << true;
        QTest::newRow("blanks around are trimmed") << "  ANA SILVA  " << true << QStringList{} << true;
    }
    void nameChecks()
    {
        QFETCH(QString, nome);
        QFETCH(bool, incluindo);
        QFETCH(QStringList, mensagens);
        QFETCH(bool, aceito);
        const qint64 id = insere("PEDRO ALVES", "22222222222");
        if (incluindo)
            novo();
        else
            altera(id);
        cliente()["NOME"].setValue(nome);

        QCOMPARE(regrascliente::saidaNome(cliente()), aceito);
        QCOMPARE(caixas.textos(), mensagens);
        for (const auto& c : caixas.caixas()) {
            QCOMPARE(c.tipo, TipoCaixa::Aviso);
            QCOMPARE(c.botoes, int(Botao::Ok));
        }
        // refused or not, the record stays open with the (trimmed) name
        QCOMPARE(cliente().state(), incluindo ? EstadoDataset::Insert : EstadoDataset::Edit);
        QCOMPARE(cliente()["NOME"].asString(), nome.trimmed());
        if (!incluindo && aceito) { // a warned name can be saved
            cliente().post();
            QCOMPARE(guardado("NOME", id).toString(), nome.trimmed());
        }
    }

    void browsingOnlyTrimsNothing()
    {
        const qint64 id = insere("MARIA", "22222222222");
        mostra(id);
        QVERIFY(regrascliente::saidaNome(cliente()));
        QVERIFY(caixas.caixas().isEmpty());
        QCOMPARE(cliente().state(), EstadoDataset::Browse);
    }

    void sexGuess_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("sexo");
        QTest::newRow("MARIA") << "MARIA SILVA"
                               << "F";
        QTest::newRow("DAIANI") << "DAIANI SOUZA"
                                << "F";
        QTest::newRow("JOSE") << "JOSE SILVA"
                              << "M";
        QTest::newRow("MIRIAM") << "MIRIAM COSTA"
                                << "M";
    }
    void sexGuess()
    {
        QFETCH(QString, nome);
        QFETCH(QString, sexo);
        novo();
        cliente()["SEXO"].setValue(sexo == "F" ? "M" : "F"); // a sex picked earlier is overwritten
        cliente()["NOME"].setValue(nome);
        QVERIFY(regrascliente::saidaNome(cliente()));
        QCOMPARE(cliente()["SEXO"].asString(), sexo);
    }

    void sexNotGuessedWhileEditing()
    {
        const qint64 id = insere("MARIA SILVA", "22222222222"); // stored as M
        altera(id);
        cliente()["NOME"].setValue("MARIA SOUZA");
        QVERIFY(regrascliente::saidaNome(cliente()));
        QCOMPARE(cliente()["SEXO"].asString(), QStringLiteral("M"));
    }

    // ---- duplicate name

    void duplicateName_data()
    {
        QTest::addColumn<QList<int>>("respostas");
        QTest::addColumn<int>("mostrado"); // -1: still inserting; else which stored client is shown
        QTest::newRow("yes to the first") << QList<int>{Botao::Sim, Botao::Nao} << 0;
        QTest::newRow("no to both") << QList<int>{Botao::Nao, Botao::Nao} << -1;
        QTest::newRow("yes to the second") << QList<int>{Botao::Nao, Botao::Sim} << 1;
        QTest::newRow("yes to both") << QList<int>{Botao::Sim, Botao::Sim} << 1;
    }
    void duplicateName()
    {
        QFETCH(QList<int>, respostas);
        QFETCH(int, mostrado);
        const qint64 primeiro = insere("MARIA SILVA", "22222222222", "12345", "JOSE SILVA", "ANA SILVA");
        const qint64 segundo = insere("MARIA SILVA", "33333333333", {}, {}, "RITA SILVA");
        insere("MARIA SILVANA", "44444444444");
        novo();
        cliente()["NOME"].setValue("MARIA SILVA");
        for (int r : respostas)
            caixas.responde(r);

        QVERIFY(regrascliente::saidaNome(cliente())); // never refused
        QCOMPARE(caixas.caixas().size(), 2);
        QCOMPARE(caixas.caixas()[0].texto, QStringLiteral("Nome já Cadastrado\nFicha nº: %1\nIdentidade: 12345\n"
                                                          "Nome do Pai: JOSE SILVA\nNome da Mãe: ANA SILVA\n\n"
                                                          "Deseja ir para o registro já Cadastrado?")
                                               .arg(primeiro));
        // a client without identity and father is described by its record and mother only
        QCOMPARE(caixas.caixas()[1].texto,
                 QStringLiteral("Nome já Cadastrado\nFicha nº: %1\nNome da Mãe: RITA SILVA\n\n"
                                "Deseja ir para o registro já Cadastrado?")
                     .arg(segundo));
        for (const auto& c : caixas.caixas()) {
            QCOMPARE(c.tipo, TipoCaixa::Informacao);
            QCOMPARE(c.botoes, Botao::Sim | Botao::Nao);
        }
        if (mostrado < 0) {
            QCOMPARE(cliente().state(), EstadoDataset::Insert);
            QCOMPARE(cliente()["NOME"].asString(), QStringLiteral("MARIA SILVA"));
            QCOMPARE(cliente()["SEXO"].asString(), QStringLiteral("F"));
        } else {
            QCOMPARE(cliente().state(), EstadoDataset::Browse);
            QCOMPARE(cliente()["ID"].asInteger(), int(mostrado == 0 ? primeiro : segundo));
        }
    }

    void duplicateNameWithAQuote()
    {
        insere("ANA D'AVILA", "22222222222");
        novo();
        cliente()["NOME"].setValue("ANA D'AVILA");
        QVERIFY(regrascliente::saidaNome(cliente()));
        QCOMPARE(caixas.caixas().size(), 1);
        QVERIFY(caixas.textos()[0].startsWith("Nome já Cadastrado\n"));
    }

    // ---- CPF and identity warnings

    void duplicateWarnings_data()
    {
        QTest::addColumn<QString>("coluna");
        QTest::addColumn<QString>("parametro");
        QTest::addColumn<QString>("caso");
        QTest::addColumn<bool>("avisa");
        for (const char* c : {"CPF", "IDENTIDADE"}) {
            const QString col = QString::fromLatin1(c);
            QTest::addRow("%s: new client, S", c) << col << "S"
                                                  << "novo" << true;
            QTest::addRow("%s: new client, N", c) << col << "N"
                                                  << "novo" << false;
            QTest::addRow("%s: new client, unset", c) << col << ""
                                                      << "novo" << false;
            QTest::addRow("%s: own value", c) << col << "S"
                                              << "proprio" << false;
            QTest::addRow("%s: another's value", c) << col << "S"
                                                    << "outro" << true;
            // the client's own row coming first does not hide another holder
            QTest::addRow("%s: own and another's", c) << col << "S"
                                                      << "ambos" << true;
            QTest::addRow("%s: browsing", c) << col << "S"
                                             << "navegando" << false;
        }
    }
    void duplicateWarnings()
    {
        QFETCH(QString, coluna);
        QFETCH(QString, parametro);
        QFETCH(QString, caso);
        QFETCH(bool, avisa);
        defineParametros({coluna == "CPF" ? "BuscaCPF" : "BuscaRG"}, {parametro});
        const QString valor = coluna == "CPF" ? "12345678909" : "MG-12.345";
        const bool cpf = coluna == "CPF";
        auto guarda = [&](const QString& nome, const QString& v, const QString& cpfProprio) {
            return insere(nome, cpf ? v : cpfProprio, cpf ? QVariant() : QVariant(v));
        };
        qint64 dono = 0, eu = 0;
        if (caso == "ambos") {
            eu = guarda("EU MESMO", valor, "55555555555");
            dono = guarda("OUTRO DONO", valor, "66666666666");
        } else {
            dono = guarda("OUTRO DONO", valor, "66666666666");
            eu = guarda("EU MESMO", caso == "proprio" ? "00000000191" : "98765432100", "77777777777");
        }
        if (caso == "novo") {
            novo();
        } else if (caso == "navegando") {
            mostra(dono);
        } else {
            altera(caso == "proprio" ? dono : eu);
            if (caso == "proprio") eu = dono;
        }
        if (cliente().isEditing()) cliente()[coluna].setValue(valor);

        QString cache;
        if (cpf)
            regrascliente::avisaCpfDuplicado(cliente(), cache);
        else
            regrascliente::avisaIdentidadeDuplicada(cliente(), cache);

        if (!avisa) {
            QVERIFY2(caixas.caixas().isEmpty(), qPrintable(caixas.textos().join('|')));
            return;
        }
        QCOMPARE(caixas.caixas().size(), 1);
        const auto& c = caixas.caixas()[0];
        QCOMPARE(c.tipo, TipoCaixa::Informacao);
        QCOMPARE(c.titulo, cpf ? QStringLiteral("CPF duplicado ") : QStringLiteral("RG duplicado "));
        QCOMPARE(c.texto, QStringLiteral("O %1 %2 já existe para o paciente\nCódigo: %3\nNome: OUTRO DONO")
                              .arg(cpf ? "CPF" : "RG", valor)
                              .arg(dono));
        QCOMPARE(cliente()[coluna].asString(), valor); // nothing refused
    }

    void parameterIsCachedOnceRead()
    {
        insere("OUTRO DONO", "12345678909");
        novo();
        cliente()["CPF"].setValue("12345678909");
        QString xBuscaCPF;

        regrascliente::avisaCpfDuplicado(cliente(), xBuscaCPF); // unset: read again next time
        QVERIFY(xBuscaCPF.isEmpty());
        defineParametros({"BUSCACPF"}, {"N"});
        regrascliente::avisaCpfDuplicado(cliente(), xBuscaCPF);
        QCOMPARE(xBuscaCPF, QStringLiteral("N"));
        defineParametros({"BUSCACPF"}, {"S"}); // too late: the value read stays
        regrascliente::avisaCpfDuplicado(cliente(), xBuscaCPF);
        QVERIFY(caixas.caixas().isEmpty());

        QString outroCache; // a new screen reads it afresh
        regrascliente::avisaCpfDuplicado(cliente(), outroCache);
        QCOMPARE(caixas.caixas().size(), 1);
    }

    // ---- phones

    void phoneRule_data()
    {
        QTest::addColumn<QString>("posicoes"); // the 11 positions typed in the box, blanks untyped
        QTest::addColumn<QVariant>("guardado");
        QTest::addColumn<bool>("aceito");
        QTest::newRow("0 + area code + 8 digits") << "07132123456" << QVariant("71 32123456") << true;
        QTest::newRow("area code + 9 digits") << "71987654321" << QVariant("71987654321") << true;
        QTest::newRow("9 digits alone") << "  987654321" << QVariant("987654321") << false;
        QTest::newRow("already normalised") << "71 32123456" << QVariant("71 32123456") << true;
        QTest::newRow("empty") << "           " << QVariant() << true;
    }
    void phoneRule()
    {
        QFETCH(QString, posicoes);
        QFETCH(QVariant, guardado);
        QFETCH(bool, aceito);
        for (const char* coluna : {"TELEFONE", "CELULAR"}) {
            caixas.limpa();
            novo();
            // what the masked box writes when it is left
            const QString caixa = "(" + posicoes.left(2) + ")" + posicoes.mid(2, 5) + "-" + posicoes.mid(7, 4);
            Field& f = cliente()[coluna];
            f.setValue(mascara::textoParaValor(kMascaraFone, QString(caixa).replace(' ', '_')));
            QCOMPARE(regrascliente::saidaTelefone(f), aceito);
            QCOMPARE(f.value(), guardado);
            if (aceito) {
                QVERIFY(caixas.caixas().isEmpty());
            } else {
                QCOMPARE(caixas.textos(), QStringList{kTelefone});
                QCOMPARE(caixas.caixas()[0].tipo, TipoCaixa::Simples);
            }
            cliente().cancel();
        }
    }

    // A new client's phones start as the company's phone without its 0: area code and eight digits.
    // Leaving the box turns them into the landline form and accepts them.
    void defaultPhonesPassTheRule_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QVariant>("guardado");
        QTest::addColumn<bool>("aceito");
        QTest::newRow("company default, 10 digits") << "7132123456" << QVariant("71 32123456") << true;
        QTest::newRow("9 digits, no area code") << "987654321" << QVariant("987654321") << false;
        QTest::newRow("10 with a blank inside") << "7 32123456" << QVariant("7 32123456") << false;
    }
    void defaultPhonesPassTheRule()
    {
        QFETCH(QString, valor);
        QFETCH(QVariant, guardado);
        QFETCH(bool, aceito);
        fb::Statement st(dados->fatura, dados->TransFatura, "UPDATE EMPRESAS SET TELEFONE = :T");
        st.setParameter("T", "0" + valor);
        st.execute();
        dados->TransFatura.commitRetaining();
        for (const char* coluna : {"TELEFONE", "CELULAR"}) {
            caixas.limpa();
            novo();
            Field& f = cliente()[coluna];
            QCOMPARE(f.asString(), valor);
            QCOMPARE(regrascliente::saidaTelefone(f), aceito);
            QCOMPARE(f.value(), guardado);
            QCOMPARE(caixas.textos(), aceito ? QStringList() : QStringList{kTelefone});
            cliente().cancel();
        }
    }

    void phoneRuleNotWhileBrowsing()
    {
        const qint64 id = insere("ANA SILVA");
        fb::Statement st(dados->fatura, dados->TransFatura, "UPDATE CLIENTE SET TELEFONE = '987654321' WHERE ID = :ID");
        st.setParameter("ID", id);
        st.execute();
        mostra(id);
        QVERIFY(regrascliente::saidaTelefone(cliente()["TELEFONE"]));
        QVERIFY(caixas.caixas().isEmpty());
    }

    // ---- mother and district

    void motherTrimmedAndDistrictWithoutQuotes()
    {
        const qint64 id = insere("ANA SILVA");
        mostra(id);
        regrascliente::saidaMae(cliente()); // browsing: nothing to do
        altera(id);
        cliente()["MAE"].setValue("  RITA SILVA ");
        cliente()["BAIRRO"].setValue("SANTA CRUZ D'OESTE \"NOVO\"");
        regrascliente::saidaMae(cliente());
        regrascliente::saidaBairro(cliente());
        QCOMPARE(cliente()["MAE"].asString(), QStringLiteral("RITA SILVA"));
        QCOMPARE(cliente()["BAIRRO"].asString(), QStringLiteral("SANTA CRUZ D OESTE  NOVO "));
    }

    // ---- code lists

    void storingPickedCodes_data()
    {
        QTest::addColumn<QString>("coluna");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QVariant>("valor");
        QTest::newRow("schooling") << "ESCOLARIDADE"
                                   << "3-1º Grau Completo" << QVariant(3);
        QTest::newRow("marital status") << "CIVIL"
                                        << "4 - Separação Judicial" << QVariant(4);
        QTest::newRow("race/colour BRANCO") << "COR"
                                            << "2-BRANCO" << QVariant(2);
        QTest::newRow("race/colour shown BRANCA") << "COR"
                                                  << "2-BRANCA" << QVariant(2);
        QTest::newRow("blank race/colour clears") << "COR"
                                                  << " " << QVariant();
        QTest::newRow("nationality, two digits") << "NACIONALIDADE"
                                                 << "20" << QVariant(20);
    }
    void storingPickedCodes()
    {
        QFETCH(QString, coluna);
        QFETCH(QString, texto);
        QFETCH(QVariant, valor);
        const qint64 id = insere("ANA SILVA");
        fb::Statement st(dados->fatura, dados->TransFatura,
                         "UPDATE CLIENTE SET ESCOLARIDADE = 1, CIVIL = 1, COR = 1, NACIONALIDADE = 10 WHERE ID = :ID");
        st.setParameter("ID", id);
        st.execute();
        mostra(id);
        const QVariant antes = cliente()[coluna].value();
        cliente()[coluna].setText(texto); // browsing: ignored
        QCOMPARE(cliente()[coluna].value(), antes);

        altera(id);
        cliente()[coluna].setText(texto);
        QCOMPARE(cliente()[coluna].value().isValid(), valor.isValid());
        if (valor.isValid()) QCOMPARE(cliente()[coluna].asInteger(), valor.toInt());
        cliente().post();
        QCOMPARE(guardado(coluna, id).isNull(), !valor.isValid());
    }

    void aTextThatIsNoCodeIsRefused()
    {
        altera(insere("ANA SILVA"));
        QVERIFY_THROWS_EXCEPTION(fb::Error, cliente()["CIVIL"].setText("X - Outros"));
    }

    void codesShown_data()
    {
        QTest::addColumn<QString>("coluna");
        QTest::addColumn<QVariant>("codigo");
        QTest::addColumn<QString>("texto");
        QTest::newRow("schooling 6") << "ESCOLARIDADE" << QVariant(6) << "6-3º Grau Incompleto";
        QTest::newRow("race/colour 2") << "COR" << QVariant(2) << "2-BRANCA";
        QTest::newRow("race/colour 9") << "COR" << QVariant(9) << "9-SEM INFORMAÇÃO";
        QTest::newRow("race/colour 6 does not exist") << "COR" << QVariant(6) << "";
        QTest::newRow("marital status 0") << "CIVIL" << QVariant(0) << "";
        QTest::newRow("marital status 4") << "CIVIL" << QVariant(4) << "4 - Separação Judicial";
        QTest::newRow("none") << "CIVIL" << QVariant() << "";
    }
    void codesShown()
    {
        QFETCH(QString, coluna);
        QFETCH(QVariant, codigo);
        QFETCH(QString, texto);
        QCOMPARE(regrascliente::textoDoCodigo(coluna, codigo), texto);
    }

    void codeListsOffered()
    {
        QCOMPARE(regrascliente::listaCor().first(), QStringLiteral(" "));
        QVERIFY(regrascliente::listaCor().contains("2-BRANCO"));
        QCOMPARE(regrascliente::listaCivil().size(), 5);
        QCOMPARE(regrascliente::listaEscolaridade().size(), 7);
    }

    // ---- re-selection by key

    void fixaCliente()
    {
        const qint64 a = insere("ANA SILVA", "22222222222");
        const qint64 b = insere("BIA SOUZA", "33333333333");
        mostra(a);
        QSignalSpy reaberturas(&cliente(), &Dataset::stateChanged);
        FixaCliente(QString::number(a)); // already shown: not re-opened
        QCOMPARE(reaberturas.count(), 0);

        FixaCliente(QStringLiteral("0") + QString::number(b)); // "057" is key 57
        QCOMPARE(cliente()["ID"].asInteger(), int(b));
        QVERIFY(reaberturas.count() > 0);

        FixaCliente(QString());
        QVERIFY(cliente().isEmpty());
        QVERIFY_THROWS_EXCEPTION(ErroConversao, FixaCliente(QStringLiteral("1 OR 1=1")));
    }
};

QTEST_GUILESS_MAIN(RegrasCliente)
#include "db_regrascliente.moc"
