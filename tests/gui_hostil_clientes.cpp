// Hostile texts on the client screens: quotes, a statement, LIKE wildcards, accents, an emoji, a tab,
// a line break, a backslash and texts at and past the column's length, typed into every free-text
// box of the client record, into the boxes whose mask or code list decides what they take, into
// every box of the search list and into the "Ir Para" boxes. A text is stored and shown back as
// typed (in the case its box forces), or refused with the program's own Portuguese message; no
// statement fails, no other row changes and a search finds what the text literally says.
#include "clients/Pacientes.h"
#include "clients/xConsultaListaPac.h"
#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/ui/telacadastro.h"
#include "data/arquivos.h"
#include "testdb.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString kNaoEncontrado = QStringLiteral("Registro não Encontrado!");

// The hostile texts, one row each: "texto", and "alem" >= 0 for a text measured against the box:
// the text is put after the box's filler so that the whole is the column's length plus `alem`
// characters (UTF-16 code units: the emoji counts two).
void linhasDoCorpus(bool muitoLongo = false)
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("alem");
    QTest::newRow("aspas simples") << QStringLiteral("O'Brien") << -1;
    QTest::newRow("aspas duplas") << QStringLiteral("\"aspas\"") << -1;
    QTest::newRow("comando SQL") << QStringLiteral("'; DROP TABLE CLIENTE; --") << -1;
    QTest::newRow("percentual e sublinhado") << QStringLiteral("50%_off") << -1;
    QTest::newRow("percentual") << QStringLiteral("%") << -1;
    QTest::newRow("sublinhado") << QStringLiteral("_") << -1;
    QTest::newRow("acentos") << QStringLiteral("ÇÃÕÉÍçãõéí") << -1;
    QTest::newRow("emoji") << QStringLiteral("🍲") << -1;
    QTest::newRow("tabulação") << QStringLiteral("antes\tdepois") << -1;
    QTest::newRow("quebra de linha") << QStringLiteral("antes\ndepois") << -1;
    QTest::newRow("barra invertida") << QStringLiteral("C:\\pasta\\") << -1;
    QTest::newRow("tamanho da coluna") << QString() << 0;
    QTest::newRow("um além da coluna") << QString() << 1;
    QTest::newRow("emoji na última posição") << QStringLiteral("🍲") << 1;
    if (muitoLongo) QTest::newRow("muito além da coluna") << QString() << 300;
}

QString monta(const QString& texto, int alem, int tamanho, QChar enchimento, const QString& prefixo = QString())
{
    if (alem < 0) return prefixo + texto;
    return prefixo + QString(tamanho + alem - prefixo.size() - texto.size(), enchimento) + texto;
}

// A text as a message shows it, control characters visible.
QString visivel(const QString& t)
{
    return u'"' + QString(t).replace(u'\t', QStringLiteral("\\t")).replace(u'\n', QStringLiteral("\\n")) + u'"';
}

// What a box holding at most `tamanho` code units keeps of a typed text: never half a character.
QString cabe(QString t, int tamanho)
{
    if (tamanho > 0 && t.size() > tamanho) {
        t.truncate(tamanho);
        if (t.back().isHighSurrogate()) t.chop(1);
    }
    return t;
}

// The clients already there. The record screen opens on the last one and changes it.
struct Ficha
{
    const char* nome;
    const char* mae;
    const char* identidade;
    const char* cpf;
};
const Ficha fichas[] = {{"JOAO O'BRIEN", "O'BRIEN", "O'Brien", "11111111111"},
                        {"JOAO O BRIEN", "\"ASPAS\"", "O'BRIEN", "22222222222"},
                        {"ANA 50%_OFF", "50%_OFF", "XXXXXXXXXXXXXXX", "77777777777"},
                        {"ANA 50X_OFF", "MAE DE TESTE", "C:\\pasta\\", "33333333333"},
                        {"ANA ÇÃÕÉÍÇÃÕÉÍ", "ÇÃÕÉÍÇÃÕÉÍ", "🍲", "44444444444"},
                        {"ZELIA SOUZA", "MAE DE TESTE", "BA-1", "55555555555"}};

// Every row of CLIENTE, column by column, as text.
using Retrato = QMap<qint64, QMap<QString, QString>>;

QString comoTexto(const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return QStringLiteral("<nulo>");
    if (v.typeId() == QMetaType::QByteArray) return QStringLiteral("0x") + QString::fromLatin1(v.toByteArray().toHex());
    if (v.typeId() == QMetaType::QDate) return v.toDate().toString(Qt::ISODate);
    return v.toString();
}

// The differences between two pictures of the table, leaving out `coluna` and the change stamp of
// row `id` (the one the test writes).
QString diferencas(const Retrato& antes, const Retrato& depois, qint64 id = 0, const QString& coluna = QString())
{
    if (antes.keys() != depois.keys()) return QStringLiteral("rows added or removed");
    QStringList r;
    for (auto it = antes.begin(); it != antes.end(); ++it) {
        QMap<QString, QString> a = it.value(), d = depois.value(it.key());
        if (it.key() == id)
            for (const QString& c : {coluna, QStringLiteral("USER2"), QStringLiteral("DATAUSER2"),
                                     QStringLiteral("IP2"), QStringLiteral("VERSAO2")}) {
                a.remove(c);
                d.remove(c);
            }
        for (auto c = a.begin(); c != a.end(); ++c)
            if (d.value(c.key()) != c.value())
                r << QStringLiteral("%1.%2: %3 -> %4").arg(it.key()).arg(c.key(), c.value(), d.value(c.key()));
    }
    return r.join(u'\n');
}

// Texts the program itself gives for input it refuses (as opposed to a server's message).
bool mensagemDoPrograma(const QString& t)
{
    static const QList<QRegularExpression> padroes = {
        QRegularExpression(QStringLiteral("^O campo '[^']+' aceita no máximo \\d+ caracteres\\.$")),
        QRegularExpression(QStringLiteral("^'.*' não é um item da lista de (Estado Civil|Escolaridade|Raça/Cor)\\.$"),
                           QRegularExpression::DotMatchesEverythingOption),
        QRegularExpression(QStringLiteral("^'.*' não é (um valor inteiro|uma data) válid[oa]\\.$"),
                           QRegularExpression::DotMatchesEverythingOption),
        QRegularExpression(
            QStringLiteral("^Valor de entrada inválido\\. Use a tecla Esc para abandonar as alterações\\.$")),
        QRegularExpression(QStringLiteral("^Campo '[^']+' deve possuir um valor\\.$"))};
    for (const QRegularExpression& p : padroes)
        if (p.match(t).hasMatch()) return true;
    return false;
}

// A LIKE pattern (% and _ as wildcards, nothing escaped) as a regular expression.
QString likeParaRegex(const QString& padrao)
{
    QString r;
    for (const QChar c : padrao)
        r += c == u'%' ? QStringLiteral(".*") : c == u'_' ? QStringLiteral(".") : QRegularExpression::escape(c);
    return r;
}

// The same, anchored: the whole name must match.
QRegularExpression comoLike(const QString& padrao)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(likeParaRegex(padrao)),
                              QRegularExpression::DotMatchesEverythingOption);
}

// The words of a partial search in order, anything between them: the first three blanks separate
// words, further blanks are part of the last word; a "%" or "_" typed inside a word is a wildcard of
// the pattern. `dobra` folds each word as the list does.
QRegularExpression palavrasEmOrdem(const QString& texto, bool dobra)
{
    QStringList partes;
    QString resto = texto;
    for (int i = 0; i < 3; ++i) {
        const qsizetype b = resto.indexOf(u' ');
        if (b < 0) break;
        partes << resto.left(b);
        resto = resto.mid(b + 1);
    }
    partes << resto;
    for (QString& p : partes)
        p = likeParaRegex(dobra ? SemAcentoPac(p) : p);
    return QRegularExpression(partes.join(QStringLiteral(".*")), QRegularExpression::DotMatchesEverythingOption);
}

// Record boxes that take free text. caso: 'A' upper case forced, 'b' lower case forced, 'N' as typed.
struct CaixaTexto
{
    const char* caixa;
    const char* coluna;
    int tamanho; // 0: a blob, no length
    char caso;
    const char* prefixo = "";
    bool apara = false;    // leaving the box trims it
    bool semAspas = false; // leaving the box turns quotes into blanks
};
const CaixaTexto caixasDeTexto[] = {{"w_Nome", "NOME", 50, 'A', "ANA ", true}, // two names, or leaving is refused
                                    {"w_Apelido", "APELIDO", 50, 'N'},
                                    {"w_IDENTIDADE", "IDENTIDADE", 15, 'N'},
                                    {"w_RGOrgao", "RGORGAO", 10, 'A'},
                                    {"w_NATURALIDADE", "NATURALIDADE", 40, 'A'},
                                    {"w_PAI", "PAI", 50, 'A'},
                                    {"w_MAE", "MAE", 50, 'A', "", true},
                                    {"w_Cidade", "CIDADE", 40, 'A'},
                                    {"w_Bairro", "BAIRRO", 40, 'A', "", false, true},
                                    {"w_ENDERECO", "ENDERECO", 50, 'A'},
                                    {"w_Numero", "NUMERO", 8, 'A'},
                                    {"w_Complemento", "COMPLEMENTO", 20, 'A'},
                                    {"w_mail", "EMAIL", 60, 'b'},
                                    {"DBMemo1", "OBSERVACAO", 0, 'N'}};

// Record boxes whose mask, digit rule or code list decides what they take; the filler is a digit.
// (The lists that only offer their items take no typed text: the corpus cannot reach their columns.)
struct CaixaRestrita
{
    const char* caixa;
    const char* coluna;
    int tamanho;
};
const CaixaRestrita caixasRestritas[] = {
    {"w_NASC", "NASC", 8},         {"DBEdit47", "DATAEXPEDICAO", 8},      {"w_CPF", "CPF", 11},
    {"w_CEP", "CEP", 8},           {"w_TELEFONE", "TELEFONE", 11},        {"w_CELULAR", "CELULAR", 11},
    {"w_EstadoCivil", "CIVIL", 1}, {"w_Escolaridade", "ESCOLARIDADE", 1}, {"w_Cor", "COR", 1}};

// What may be stored in a restricted column.
bool valorValido(const QString& coluna, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) return coluna != QLatin1String("CPF");
    const QString s = v.toString();
    auto casa = [&s](const char* padrao) {
        return QRegularExpression(QRegularExpression::anchoredPattern(QString::fromLatin1(padrao))).match(s).hasMatch();
    };
    if (coluna == QLatin1String("CPF")) return casa("\\d{11}");
    if (coluna == QLatin1String("CEP")) return casa("\\d{8}");
    if (coluna == QLatin1String("TELEFONE") || coluna == QLatin1String("CELULAR")) return casa("\\d[\\d ]{9}\\d");
    if (coluna == QLatin1String("CIVIL")) return casa("[1-5]");
    if (coluna == QLatin1String("ESCOLARIDADE")) return casa("[1-7]");
    if (coluna == QLatin1String("COR")) return casa("[1-59]");
    return v.toDate().isValid(); // NASC, DATAEXPEDICAO
}

} // namespace

class HostilClientes : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TDados> dados;
    DialogosRoteirizados caixas;
    QPointer<TCad_Cliente> tela;
    std::unique_ptr<TConsultaListaPac> lista;
    QList<qint64> ids;
    fb::Attachment outra; // another workstation's connection, for reading the table as it sees it

    void insereFichas()
    {
        fb::Statement st(dados->fatura, dados->TransFatura,
                         "INSERT INTO CLIENTE (NOME, MAE, IDENTIDADE, CPF, SEXO, ATIVO, APELIDO, PAI, RGORGAO, RGUF, "
                         "NATURALIDADE, NASC, DATAEXPEDICAO, CEP, ENDERECO, NUMERO, COMPLEMENTO, BAIRRO, CIDADE, UF, "
                         "TELEFONE, CELULAR, EMAIL, ESCOLARIDADE, CIVIL, COR, OBSERVACAO) "
                         "VALUES (:NOME, :MAE, :IDENTIDADE, :CPF, 'F', 'S', 'ZEZE', 'JOSE SOUZA', 'SSP', '5', "
                         "'PARAIBA', '1980-05-17', '2000-01-02', '40000000', 'RUA A', '10', 'CASA', 'CENTRO', "
                         "'SALVADOR', 5, '71 32123456', '71987654321', 'zelia@exemplo.com', 6, 1, 2, :OBSERVACAO) "
                         "RETURNING ID");
        for (const Ficha& f : fichas) {
            st.setParameter("NOME", QString::fromUtf8(f.nome));
            st.setParameter("MAE", QString::fromUtf8(f.mae));
            st.setParameter("IDENTIDADE", QString::fromUtf8(f.identidade));
            st.setParameter("CPF", QString::fromUtf8(f.cpf));
            st.setParameter("OBSERVACAO", QByteArray("nota"));
            st.execute();
            ids << st.value(0).toLongLong();
        }
        dados->TransFatura.commitRetaining();
    }

    // Read through a connection of its own (a transaction of its own each time), as another
    // workstation sees the table.
    Retrato retrato()
    {
        if (!outra.isValid()) outra = db->attach();
        fb::Transaction tra(outra);
        fb::Statement s(outra, tra, "SELECT * FROM CLIENTE ORDER BY ID");
        s.execute();
        Retrato r;
        while (s.fetch()) {
            QMap<QString, QString> linha;
            for (int i = 0; i < s.columnCount(); ++i)
                linha[s.column(i).alias] = comoTexto(s.value(i));
            r[s.value(QStringLiteral("ID")).toLongLong()] = linha;
        }
        return r;
    }
    QVariant guardado(const QString& coluna, qint64 id) const
    {
        return db->valor(QStringLiteral("SELECT %1 FROM CLIENTE WHERE ID = %2").arg(coluna).arg(id));
    }
    QStringList erros() const
    {
        QStringList r;
        for (const auto& c : caixas.caixas())
            if (c.tipo == TipoCaixa::Erro) r << c.texto;
        return r;
    }

    void abre()
    {
        tela = new TCad_Cliente;
        tela->resize(1100, 760);
        tela->show();
        tela->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(tela));
    }
    QWidget* w(const QString& nome) const
    {
        QWidget* x = tela->findChild<QWidget*>(nome);
        if (!x) qFatal("widget %s not found", qPrintable(nome));
        return x;
    }
    void clica(const char* botao) { QTest::mouseClick(qobject_cast<QAbstractButton*>(w(botao)), Qt::LeftButton); }
    qint64 mostrado() const { return dados->Cliente->isEmpty() ? 0 : dados->Cliente->field("ID").asInteger(); }

    static QLineEdit* linhaDe(QWidget* caixa)
    {
        if (auto* e = qobject_cast<QLineEdit*>(caixa)) return e;
        if (auto* c = qobject_cast<QComboBox*>(caixa)) return c->lineEdit();
        return nullptr;
    }
    static QString textoDe(QWidget* caixa)
    {
        if (auto* m = qobject_cast<QPlainTextEdit*>(caixa)) return m->toPlainText();
        if (auto* c = qobject_cast<QComboBox*>(caixa)) return c->currentText();
        return qobject_cast<QLineEdit*>(caixa)->text();
    }
    // Types the text over what the box holds, one character (code point) per key. No key puts a tab
    // or a line break into a one-line box: those come from the clipboard, as a paste would bring
    // them.
    static void digita(QWidget* caixa, const QString& texto)
    {
        caixa->setFocus();
        QLineEdit* linha = linhaDe(caixa);
        auto* memo = qobject_cast<QPlainTextEdit*>(caixa);
        if (linha) {
            linha->selectAll();
            QTest::keyClick(linha, Qt::Key_Delete);
        } else if (memo) {
            memo->selectAll();
            QTest::keyClick(memo, Qt::Key_Delete);
        }
        for (qsizetype i = 0; i < texto.size(); ++i) {
            const qsizetype n = texto[i].isHighSurrogate() && i + 1 < texto.size() ? 2 : 1;
            const QString c = texto.mid(i, n);
            i += n - 1;
            if (c == QLatin1String("\t") || c == QLatin1String("\n")) {
                if (memo) {
                    QTest::keyClick(memo, c == QLatin1String("\t") ? Qt::Key_Tab : Qt::Key_Return);
                } else if (linha) {
                    QGuiApplication::clipboard()->setText(c);
                    QTest::keyClick(linha, Qt::Key_V, Qt::ControlModifier);
                }
                continue;
            }
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(0), c, Qt::NoModifier);
        }
    }
    static void sai() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }

    // ---- the search list
    void abreLista()
    {
        lista = std::make_unique<TConsultaListaPac>();
        lista->ShowPaciente(); // no modal answer queued: returns at once, the list open from "A"
        lista->show();
        lista->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(lista.get()));
        lista->Timer1->stop();
    }
    QStringList achados() const
    {
        Dataset& q = *lista->Query1;
        q.fetchAll();
        QStringList r;
        const int i = int(q.fields().indexOf(q.findField("NOME")));
        for (int linha = 0; linha < q.recordCount(); ++linha)
            r << q.valueAt(linha, i).toString();
        r.sort();
        return r;
    }
    // The names the search should list for the text in the box, as its meaning says.
    QStringList esperados(const QString& caixa, bool parcial, const QString& texto)
    {
        QString semFim = texto;
        while (semFim.endsWith(u' '))
            semFim.chop(1);
        const bool digitos =
            !texto.isEmpty() && std::all_of(texto.begin(), texto.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        QStringList r;
        for (const auto& linha : retrato()) {
            const QString nome = linha.value("NOME");
            bool entra = false;
            if (caixa == QLatin1String("Edit2"))
                entra = linha.value("MAE").toUpper() == semFim;
            else if (caixa == QLatin1String("w_Busca1"))
                entra = linha.value("IDENTIDADE").toUpper() == semFim.toUpper(); // letter case aside
            else if (caixa == QLatin1String("Edit1"))
                entra = linha.value("CPF") == semFim;
            else if (semFim.startsWith(u'%')) // the operator's own pattern
                entra = comoLike(SemAcentoPac(texto)).match(nome).hasMatch() || comoLike(texto).match(nome).hasMatch();
            else if (digitos)
                entra = linha.value("CPF") == texto;
            else if (parcial)
                entra = palavrasEmOrdem(semFim, true).match(nome).hasMatch() ||
                        palavrasEmOrdem(semFim, false).match(nome).hasMatch();
            else
                entra = nome >= SemAcentoPac(semFim);
            if (entra) r << nome;
        }
        r.sort();
        return r;
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
        // The duplicate checks of CPF and identity run with what is typed.
        parametros().VetorConfig = {"BuscaRG", "BuscaCPF"};
        parametros().VetorConfigVal = {"S", "S"};
        ids.clear();
        insereFichas();
    }
    void cleanup()
    {
        lista.reset();
        delete tela.data();
        defineDialogos(nullptr);
        dados.reset();
        if (outra.isValid()) outra.detach();
        db.reset();
        parametros().limpa();
    }

    // ---- the record screen

    // Each free-text box in turn: Alterar, the text typed, the box left, Confirmar.
    void caixasDeTextoGuardamOQueFoiDigitado_data() { linhasDoCorpus(); }
    void caixasDeTextoGuardamOQueFoiDigitado()
    {
        QFETCH(QString, texto);
        QFETCH(int, alem);
        abre();
        const qint64 id = mostrado();
        QCOMPARE(id, ids.last());
        QStringList problemas;
        for (const CaixaTexto& c : caixasDeTexto) {
            if (alem >= 0 && c.tamanho == 0) continue; // a blob has no length to reach
            const QString nome = QString::fromLatin1(c.caixa), coluna = QString::fromLatin1(c.coluna);
            const auto falha = [&](const QString& m) { problemas << nome + QStringLiteral(": ") + m; };
            const QString digitado =
                monta(texto, alem, c.tamanho, c.caso == 'b' ? u'x' : u'X', QString::fromLatin1(c.prefixo));
            QString naCaixa = cabe(digitado, c.tamanho); // what the box holds once typed
            if (c.caso == 'A') naCaixa = naCaixa.toUpper();
            if (c.caso == 'b') naCaixa = naCaixa.toLower();
            QString esperado = naCaixa; // what is stored, after the box's rule on leaving
            if (c.apara) esperado = esperado.trimmed();
            if (c.semAspas) esperado.replace(u'"', u' ').replace(u'\'', u' ');
            if (c.tamanho && dados->Cliente->field(coluna).size() != c.tamanho) falha(QStringLiteral("column size"));

            caixas.limpa();
            const Retrato antes = retrato();
            clica("Alterar");
            QWidget* caixa = w(nome);
            digita(caixa, digitado);
            if (textoDe(caixa) != naCaixa) falha(QStringLiteral("box holds ") + visivel(textoDe(caixa)));
            if (!qobject_cast<QPlainTextEdit*>(caixa)) sai(); // the box's own rule runs as it is left
            clica("Confirmar");

            if (!erros().isEmpty()) falha(QStringLiteral("error box ") + erros().join(u'|'));
            if (dados->Cliente->state() != EstadoDataset::Browse) {
                falha(QStringLiteral("not saved"));
                caixas.responde(Botao::Sim);
                clica("NaoConfirmar");
                continue;
            }
            const QVariant v = guardado(coluna, id);
            const QString lido =
                v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
            if (lido != esperado)
                falha(QStringLiteral("stored ") + visivel(lido) + QStringLiteral(", not ") + visivel(esperado));
            const QString outras = diferencas(antes, retrato(), id, coluna);
            if (!outras.isEmpty()) falha(QStringLiteral("also changed ") + outras);
            // read again from the table
            clica("Button1");
            clica("Button4");
            if (mostrado() != id || textoDe(caixa) != esperado)
                falha(QStringLiteral("shown again as ") + visivel(textoDe(caixa)));
        }
        QVERIFY2(problemas.isEmpty(), qPrintable(problemas.join(u'\n')));
    }

    // Each box whose mask or list decides what it takes, in turn: what it stores is a value of its
    // kind, or the change is refused with the program's message and nothing is written.
    void caixasRestritasNuncaGuardamLixo_data() { linhasDoCorpus(); }
    void caixasRestritasNuncaGuardamLixo()
    {
        QFETCH(QString, texto);
        QFETCH(int, alem);
        abre();
        const qint64 id = mostrado();
        QStringList problemas;
        for (const CaixaRestrita& c : caixasRestritas) {
            const QString nome = QString::fromLatin1(c.caixa), coluna = QString::fromLatin1(c.coluna);
            const auto falha = [&](const QString& m) { problemas << nome + QStringLiteral(": ") + m; };
            caixas.limpa();
            const Retrato antes = retrato();
            clica("Alterar");
            digita(w(nome), monta(texto, alem, c.tamanho, u'8'));
            sai();
            clica("Confirmar");

            for (const QString& e : erros())
                if (!mensagemDoPrograma(e)) falha(QStringLiteral("error box ") + e);
            if (dados->Cliente->state() == EstadoDataset::Browse) {
                const QVariant lido = guardado(coluna, id);
                if (!valorValido(coluna, lido)) falha(QStringLiteral("stored ") + visivel(comoTexto(lido)));
                const QString outras = diferencas(antes, retrato(), id, coluna);
                if (!outras.isEmpty()) falha(QStringLiteral("also changed ") + outras);
            } else {
                // refused: nothing written, and the change can be abandoned
                caixas.responde(Botao::Sim);
                clica("NaoConfirmar");
                if (dados->Cliente->state() != EstadoDataset::Browse) falha(QStringLiteral("not abandoned"));
                const QString mudou = diferencas(antes, retrato());
                if (!mudou.isEmpty()) falha(QStringLiteral("changed ") + mudou);
            }
        }
        QVERIFY2(problemas.isEmpty(), qPrintable(problemas.join(u'\n')));
    }

    // The three "Ir Para" boxes: code, identity document and CPF.
    void irParaDaUmaMensagemPropria_data() { linhasDoCorpus(true); }
    void irParaDaUmaMensagemPropria()
    {
        QFETCH(QString, texto);
        QFETCH(int, alem);
        struct Ir
        {
            const char* botao;
            int tamanho;
            char16_t enchimento;
        };
        const Ir idas[] = {{"BotaoCodigo", 10, u'9'}, {"SpeedButton5", 15, u'X'}, {"SpeedButton6", 11, u'7'}};
        abre();
        const Retrato antes = retrato();
        QStringList problemas;
        for (const Ir& ir : idas) {
            const QString botao = QString::fromLatin1(ir.botao);
            const auto falha = [&](const QString& m) { problemas << botao + QStringLiteral(": ") + m; };
            const QString digitado = monta(texto, alem, ir.tamanho, QChar(ir.enchimento));
            const qint64 anterior = mostrado();
            qint64 esperado = 0;
            QStringList mensagens;
            const QString aparado = digitado.trimmed();
            if (botao == QLatin1String("BotaoCodigo")) {
                bool ok = false;
                const qint64 codigo = aparado.toLongLong(&ok);
                if (!ok)
                    mensagens << QStringLiteral("'%1' não é um valor inteiro válido.").arg(digitado);
                else if (codigo > 0 && antes.contains(codigo))
                    esperado = codigo;
                else if (codigo > 0)
                    mensagens << kNaoEncontrado;
            } else {
                const bool identidade = botao == QLatin1String("SpeedButton5");
                for (auto it = antes.begin(); it != antes.end(); ++it)
                    if (identidade ? it.value().value("IDENTIDADE") == aparado : it.value().value("CPF") == digitado)
                        esperado = it.key();
                if (!esperado) mensagens << kNaoEncontrado;
            }

            caixas.limpa();
            caixas.respondeEntrada(digitado);
            clica(ir.botao);
            if (caixas.entradas().size() != 1 || caixas.entradas()[0].titulo != QLatin1String("Ir Para"))
                falha(QStringLiteral("no input box"));
            if (caixas.textos() != mensagens) falha(QStringLiteral("boxes ") + caixas.textos().join(u'|'));
            if (mostrado() != (esperado ? esperado : anterior))
                falha(QStringLiteral("shows client %1").arg(mostrado()));
        }
        const QString mudou = diferencas(antes, retrato());
        QVERIFY2(mudou.isEmpty(), qPrintable(mudou));
        QVERIFY2(problemas.isEmpty(), qPrintable(problemas.join(u'\n')));
    }

    // ---- the search list

    // The name search positional and partial, then the mother, identity and CPF searches.
    void buscasAchamOTextoLiteral_data() { linhasDoCorpus(); }
    void buscasAchamOTextoLiteral()
    {
        QFETCH(QString, texto);
        QFETCH(int, alem);
        struct Busca
        {
            const char* caixa;
            bool parcial;
            const char* botao; // "" for the name search the pause in typing runs
            int tamanho;
            char16_t enchimento;
        };
        const Busca buscas[] = {{"w_Busca", false, "", 50, u'X'},
                                {"w_Busca", true, "", 50, u'X'},
                                {"Edit2", false, "BitBtn6", 50, u'X'},
                                {"w_Busca1", false, "BitBtn3", 15, u'X'},
                                {"Edit1", false, "BitBtn5", 11, u'7'}};
        const Retrato antes = retrato();
        QStringList problemas;
        for (const Busca& b : buscas) {
            const QString nome = QString::fromLatin1(b.caixa) + (b.parcial ? QStringLiteral(" parcial") : QString());
            const auto falha = [&](const QString& m) { problemas << nome + QStringLiteral(": ") + m; };
            const QString digitado = monta(texto, alem, b.tamanho, QChar(b.enchimento));
            caixas.limpa();
            abreLista();
            lista->findChild<QCheckBox*>("w_BuscaParcial")->setChecked(b.parcial);
            auto* c = lista->findChild<QLineEdit*>(QString::fromLatin1(b.caixa));
            digita(c, digitado);
            lista->Timer1->stop();
            if (c->text() != digitado.toUpper()) falha(QStringLiteral("box holds ") + visivel(c->text()));
            if (*b.botao) {
                QTest::mouseClick(lista->findChild<QPushButton*>(QString::fromLatin1(b.botao)), Qt::LeftButton);
            } else {
                for (int i = 0; i < 11; ++i)
                    lista->Timer1Timer();
            }
            if (!caixas.caixas().isEmpty()) falha(QStringLiteral("boxes ") + caixas.textos().join(u'|'));
            const QStringList achou = achados(),
                              deveria = esperados(QString::fromLatin1(b.caixa), b.parcial, digitado.toUpper());
            if (achou != deveria)
                falha(QStringLiteral("found [%1], not [%2]")
                          .arg(achou.join(QStringLiteral(", ")), deveria.join(QStringLiteral(", "))));
            lista.reset();
        }
        const QString mudou = diferencas(antes, retrato());
        QVERIFY2(mudou.isEmpty(), qPrintable(mudou));
        QVERIFY2(problemas.isEmpty(), qPrintable(problemas.join(u'\n')));
    }
};

QTEST_MAIN(HostilClientes)
#include "gui_hostil_clientes.moc"
