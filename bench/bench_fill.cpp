// bench_fill DATABASE CLIENTS MEALS [DAYS]
// Fills an existing database (schema data/local.sql) with CLIENTS clients of distinct valid CPFs and
// MEALS meals of those clients spread over the last DAYS days (365 unless given), committing every
// 20,000 rows, and prints the rates. The CPFs continue after the clients already there, so a second
// run adds new people instead of repeating them.
#include "data/conexao.h"
#include "data/firebird.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTime>
#include <QVariant>

#include <cstdio>
#include <memory>
#include <random>

namespace {
constexpr int RowsPerCommit = 20000;

const char* const nomesFemininos[] = {
    "MARIA",     "ANA",     "FRANCISCA", "ANTÔNIA", "ADRIANA",   "JULIANA",  "MÁRCIA",  "FERNANDA", "PATRÍCIA",
    "ALINE",     "SANDRA",  "CAMILA",    "AMANDA",  "BRUNA",     "JÉSSICA",  "LETÍCIA", "JÚLIA",    "LUCIANA",
    "VANESSA",   "MARIANA", "GABRIELA",  "VERA",    "VITÓRIA",   "LARISSA",  "CLÁUDIA", "BEATRIZ",  "RAIMUNDA",
    "CONCEIÇÃO", "LUZIA",   "DAIANI",    "TEREZA",  "ROSÂNGELA", "EDILEUZA", "MARLENE", "SEVERINA", "JOSEFA"};
const char* const nomesMasculinos[] = {
    "JOSÉ",     "JOÃO",    "ANTÔNIO", "FRANCISCO", "CARLOS",  "PAULO",    "PEDRO",    "LUCAS",    "LUIZ",
    "MARCOS",   "LUÍS",    "GABRIEL", "RAFAEL",    "DANIEL",  "MARCELO",  "BRUNO",    "EDUARDO",  "FELIPE",
    "RAIMUNDO", "RODRIGO", "MANOEL",  "SEBASTIÃO", "ROBERTO", "FÁBIO",    "ANDERSON", "JORGE",    "SÉRGIO",
    "MATEUS",   "GERALDO", "VALDIR",  "EDSON",     "CÍCERO",  "SEVERINO", "JOAQUIM",  "BENEDITO", "GILMAR"};
const char* const sobrenomes[] = {"SILVA",   "SANTOS",     "OLIVEIRA", "SOUZA",     "RODRIGUES", "FERREIRA", "ALVES",
                                  "PEREIRA", "LIMA",       "GOMES",    "COSTA",     "RIBEIRO",   "MARTINS",  "CARVALHO",
                                  "ALMEIDA", "LOPES",      "SOARES",   "FERNANDES", "VIEIRA",    "BARBOSA",  "ROCHA",
                                  "DIAS",    "NASCIMENTO", "ANDRADE",  "MOREIRA",   "NUNES",     "MARQUES",  "MACHADO",
                                  "MENDES",  "FREITAS",    "CARDOSO",  "RAMOS",     "GONÇALVES", "SANTANA",  "TEIXEIRA",
                                  "ARAÚJO",  "CAVALCANTI", "BEZERRA",  "MONTEIRO",  "CONCEIÇÃO"};

template <typename T, std::size_t N> constexpr int tamanho(T (&)[N])
{
    return int(N);
}

// The two check digits (modulus 11) after the nine-digit base.
QString cpfComDigitos(qint64 base)
{
    int d[11];
    for (int i = 8; i >= 0; --i, base /= 10)
        d[i] = int(base % 10);
    for (int k = 9; k <= 10; ++k) {
        int soma = 0;
        for (int i = 0; i < k; ++i)
            soma += d[i] * (k + 1 - i);
        const int r = soma % 11;
        d[k] = r < 2 ? 0 : 11 - r;
    }
    QString s(11, u'0');
    for (int i = 0; i < 11; ++i)
        s[i] = QChar(u'0' + d[i]);
    return s;
}

// The n-th CPF of a fixed walk through all nine-digit bases: the step is prime to 10^9, so no base
// repeats, and consecutive clients get unrelated-looking numbers. The ten repeated-digit numbers,
// which no CPF check accepts, are skipped by the caller.
qint64 baseDoCpf(qint64 n)
{
    constexpr qint64 modulo = 1000000000;
    constexpr qint64 passo = 387420489; // 3^18
    return (271828182 + n * passo) % modulo;
}

bool repetido(qint64 base)
{
    return base % 111111111 == 0;
}

// Many rows per round trip: "insert ... select <row 0> from RDB$DATABASE union all select <row 1> ...",
// prepared once with named parameters COLUMN_0, COLUMN_1, ... and executed again for each batch. One
// row per execute spends most of its time waiting on the network, not in the server.
class InsercaoEmLote
{
public:
    struct Coluna
    {
        const char* nome;
        const char* tipo; // the cast that tells the server the parameter's type
    };
    struct Constante // same value in every row, set once
    {
        const char* nome;
        const char* tipo;
        QVariant valor;
    };

    InsercaoEmLote(fb::Attachment& att, fb::Transaction& tra, QString tabela, QList<Coluna> colunas,
                   QList<Constante> constantes = {})
        : att_(att), tra_(tra), tabela_(std::move(tabela)), colunas_(std::move(colunas)),
          constantes_(std::move(constantes))
    {
    }

    void adiciona(QVariantList valores)
    {
        pendentes_ << std::move(valores);
        if (pendentes_.size() == LinhasPorExecucao) {
            if (!cheio_) cheio_ = prepara(LinhasPorExecucao);
            executa(*cheio_);
        }
    }

    // Sends the rows still waiting (a last, shorter batch with a statement of its own size) and commits.
    void fim()
    {
        if (!pendentes_.isEmpty()) executa(*prepara(int(pendentes_.size())));
        tra_.commit();
        tra_.start(att_);
        desdeCommit_ = 0;
    }

private:
    static constexpr int LinhasPorExecucao = 50;

    QString nome(int coluna, int linha) const
    {
        return QStringLiteral("%1_%2").arg(QLatin1String(colunas_[coluna].nome)).arg(linha);
    }

    std::unique_ptr<fb::Statement> prepara(int linhas)
    {
        QStringList nomes, selects;
        for (const Coluna& c : colunas_)
            nomes << QLatin1String(c.nome);
        for (const Constante& k : constantes_)
            nomes << QLatin1String(k.nome);
        for (int l = 0; l < linhas; ++l) {
            QStringList valores;
            for (int c = 0; c < colunas_.size(); ++c)
                valores << QStringLiteral("cast(:%1 as %2)").arg(nome(c, l), QLatin1String(colunas_[c].tipo));
            for (const Constante& k : constantes_)
                valores << QStringLiteral("cast(:%1 as %2)").arg(QLatin1String(k.nome), QLatin1String(k.tipo));
            selects << QStringLiteral("select %1 from RDB$DATABASE").arg(valores.join(u','));
        }
        auto st = std::make_unique<fb::Statement>(
            att_, tra_,
            QStringLiteral("insert into %1 (%2) %3").arg(tabela_, nomes.join(u','), selects.join(" union all ")));
        for (const Constante& k : constantes_)
            st->setParameter(QLatin1String(k.nome), k.valor);
        return st;
    }

    void executa(fb::Statement& st)
    {
        for (int l = 0; l < pendentes_.size(); ++l)
            for (int c = 0; c < colunas_.size(); ++c)
                st.setParameter(nome(c, l), pendentes_[l][c]);
        st.execute();
        desdeCommit_ += int(pendentes_.size());
        pendentes_.clear();
        if (desdeCommit_ >= RowsPerCommit) {
            tra_.commit();
            tra_.start(att_);
            desdeCommit_ = 0;
        }
    }

    fb::Attachment& att_;
    fb::Transaction& tra_;
    QString tabela_;
    QList<Coluna> colunas_;
    QList<Constante> constantes_;
    std::unique_ptr<fb::Statement> cheio_;
    QList<QVariantList> pendentes_;
    int desdeCommit_ = 0;
};

void relata(const char* o_que, qint64 linhas, qint64 ms)
{
    std::printf("%s: %lld linhas em %.1f s (%.0f linhas/s)\n", o_que, qlonglong(linhas), ms / 1000.0,
                ms > 0 ? linhas * 1000.0 / ms : 0.0);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "uso: bench_fill BANCO CLIENTES REFEICOES [DIAS]\n"
                             "  ex.: bench_fill 127.0.0.1/3050:/tmp/firebird/bench.fdb 100000 200000\n");
        return 2;
    }
    bool ok1 = false, ok2 = false, ok3 = true;
    const qint64 clientes = QByteArray(argv[2]).toLongLong(&ok1);
    const qint64 refeicoes = QByteArray(argv[3]).toLongLong(&ok2);
    const int dias = argc == 5 ? QByteArray(argv[4]).toInt(&ok3) : 365;
    if (!ok1 || !ok2 || !ok3 || clientes < 0 || refeicoes < 0 || dias < 1 || clientes > 100000000 ||
        (refeicoes > 0 && clientes == 0)) {
        std::fprintf(stderr, "quantidades inválidas (refeições pedem ao menos um cliente)\n");
        return 2;
    }

    try {
        fb::ConnectionSettings s{QString::fromLocal8Bit(argv[1]), QStringLiteral("SYSDBA"), conexao::senhaPadrao()};
        fb::Attachment att = fb::Attachment::attach(s);
        fb::Transaction tra(att);
        std::mt19937_64 sorte(20240601);
        auto entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(sorte); };

        // Clients already there used the first CPFs of the walk; carry on after them.
        const qint64 inicio = fb::generatorValue(att, tra, QStringLiteral("GEN_CLIENTE"));
        QVector<QString> cpfs;
        cpfs.reserve(int(clientes));

        QElapsedTimer total;
        total.start();
        {
            InsercaoEmLote ins(att, tra, QStringLiteral("CLIENTE"),
                               {{"NOME", "varchar(50)"},
                                {"MAE", "varchar(50)"},
                                {"SEXO", "char(1)"},
                                {"CPF", "varchar(11)"},
                                {"NASC", "date"}},
                               {{"ATIVO", "char(1)", QStringLiteral("S")}});
            QElapsedTimer t;
            t.start();
            qint64 n = inicio;
            const QDate nascMin(1940, 1, 1);
            const int faixaNasc = int(nascMin.daysTo(QDate(2012, 12, 31)));
            for (qint64 i = 0; i < clientes; ++i) {
                qint64 base;
                do
                    base = baseDoCpf(n++);
                while (repetido(base));
                const QString cpf = cpfComDigitos(base);
                const bool mulher = entre(0, 1) == 0;
                const QString nome =
                    QString::fromUtf8(mulher ? nomesFemininos[entre(0, tamanho(nomesFemininos) - 1)]
                                             : nomesMasculinos[entre(0, tamanho(nomesMasculinos) - 1)]) +
                    u' ' + QString::fromUtf8(sobrenomes[entre(0, tamanho(sobrenomes) - 1)]) + u' ' +
                    QString::fromUtf8(sobrenomes[entre(0, tamanho(sobrenomes) - 1)]);
                const QString mae = QString::fromUtf8(nomesFemininos[entre(0, tamanho(nomesFemininos) - 1)]) + u' ' +
                                    QString::fromUtf8(sobrenomes[entre(0, tamanho(sobrenomes) - 1)]) + u' ' +
                                    QString::fromUtf8(sobrenomes[entre(0, tamanho(sobrenomes) - 1)]);
                ins.adiciona({nome, mae, mulher ? QStringLiteral("F") : QStringLiteral("M"), cpf,
                              nascMin.addDays(entre(0, faixaNasc))});
                cpfs.push_back(cpf);
                if ((i + 1) % 100000 == 0) relata("  clientes", i + 1, t.elapsed());
            }
            ins.fim();
            relata("clientes", clientes, t.elapsed());
        }

        {
            InsercaoEmLote ins(att, tra, QStringLiteral("REFEICAO"),
                               {{"CPF", "varchar(14)"},
                                {"DATA", "date"},
                                {"HORA", "time"},
                                {"PESO", "numeric(9,3)"},
                                {"DATAUSER1", "timestamp"}},
                               {{"USER1", "integer", 1},
                                {"IP1", "varchar(16)", QStringLiteral("127.0.0.1")},
                                {"VERSAO1", "varchar(20)", QStringLiteral(COMEDAL_VERSION)}});
            QElapsedTimer t;
            t.start();
            // Oldest first, so that the keys grow with time as they do at the counter.
            const QDate primeiro = QDate::currentDate().addDays(-(dias - 1));
            const QTime abertura(10, 30);
            for (qint64 j = 0; j < refeicoes; ++j) {
                const QDate dia = primeiro.addDays(j * dias / refeicoes);
                const QTime hora = abertura.addSecs(entre(0, 3 * 3600 + 30 * 60)); // the counter closes at 14:00
                ins.adiciona(
                    {cpfs[entre(0, int(cpfs.size()) - 1)], dia, hora, entre(150, 1400) / 1000.0, QDateTime(dia, hora)});
                if ((j + 1) % 100000 == 0) relata("  refeições", j + 1, t.elapsed());
            }
            ins.fim();
            relata("refeições", refeicoes, t.elapsed());
        }
        tra.commit();
        relata("total", clientes + refeicoes, total.elapsed());
        att.detach();
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
