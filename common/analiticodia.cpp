#include "common/analiticodia.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <thread>
#include <vector>

qint64 FiguraDia::mediaGramas() const
{
    return refeicoes == 0 ? 0 : (2 * gramas + refeicoes) / (2 * refeicoes);
}

namespace analitico {
namespace {

// The database compares text ignoring trailing blanks: "123 " is the consumer "123".
QByteArrayView semBrancosNoFim(QByteArrayView t)
{
    while (!t.isEmpty() && t.back() == ' ')
        t.chop(1);
    return t;
}

fb::Statement& comPeriodo(fb::Statement& st, const QDate& de, const QDate& ate)
{
    st.setParameter(QStringLiteral("DE"), de);
    st.setParameter(QStringLiteral("ATE"), ate);
    return st;
}

QString linha(const FiguraDia& d)
{
    return QStringLiteral("%1;%2;%3;%4").arg(d.refeicoes).arg(d.consumidores).arg(kg(d.gramas), kg(d.mediaGramas()));
}

// The figures counted here from the meals themselves, read once in whatever order the server finds
// them. Grouping and distinct counting on the server cost more: each needs a sort of every meal of
// the period, and the per-day table with its distinct consumers plus the period's distinct count
// read and sort the period's meals twice (measured with bench_relatorio --sondas and isql: for a
// year of 500,000 meals 2.1 s and 1.5 s on the server, against 0.5 s for one plain pass); the
// per-day grouping along the date index reads the meals in date order, one page per meal where
// they were not stored day after day.
class Contagem
{
public:
    // One meal: DATA, CPF and PESO from column c of the row st has just fetched.
    void adiciona(const fb::Statement& st, int c = 0)
    {
        adiciona(st.dayNumber(c), semBrancosNoFim(st.bytes(c + 1)), gramas(st, c + 2));
    }

    // The meals another count read, of other days.
    void junta(Contagem& outra)
    {
        for (const auto& [dia, d] : outra.dias_) {
            Dia& meu = dias_[dia];
            meu.refeicoes += d.refeicoes;
            meu.gramas += d.gramas;
        }
        for (Pessoa& p : outra.pessoas_) {
            const QByteArray texto = p.chave < 0 ? p.cpf.toUtf8() : QByteArray(); // a number needs none
            const int i = procura(p.chave, texto);
            if (i < 0) {
                guarda(p.chave, texto, int(pessoas_.size()));
                pessoas_.push_back(std::move(p));
            } else {
                std::vector<qint64>& dias = pessoas_[std::size_t(i)].dias;
                dias.insert(dias.end(), p.dias.begin(), p.dias.end());
            }
        }
        outra.pessoas_.clear();
        outra.numeros_.clear();
        outra.textos_.clear();
    }

    Analitico resultado(const QString& cnpj = {})
    {
        Analitico a;
        a.total.cnpj = cnpj;
        a.consumidores.reserve(qsizetype(pessoas_.size()));
        for (Pessoa& p : pessoas_) {
            std::sort(p.dias.begin(), p.dias.end());
            FiguraConsumidor c{p.cpf, {}, qint64(p.dias.size()), 0};
            for (std::size_t i = 0, j; i < p.dias.size(); i = j) {
                for (j = i + 1; j < p.dias.size() && p.dias[j] == p.dias[i];)
                    ++j;
                ++dias_[p.dias[i]].consumidores;
                if (j - i > 1) ++c.diasRepetidos;
            }
            a.consumidores << std::move(c);
        }
        // CPF order, as the database sorts digits.
        std::sort(a.consumidores.begin(), a.consumidores.end(),
                  [](const FiguraConsumidor& x, const FiguraConsumidor& y) { return x.cpf < y.cpf; });
        for (const auto& [dia, d] : dias_) {
            a.dias << FiguraDia{cnpj, QDate::fromJulianDay(dia), d.refeicoes, d.consumidores, d.gramas};
            a.total.refeicoes += d.refeicoes;
            a.total.gramas += d.gramas;
        }
        a.total.consumidores = qint64(pessoas_.size());
        return a;
    }

private:
    struct Dia
    {
        qint64 refeicoes = 0, consumidores = 0, gramas = 0;
    };
    struct Pessoa
    {
        QString cpf;
        qint64 chave;             // see chaveNumerica; -1 for a CPF found by its text
        std::vector<qint64> dias; // one entry per meal
    };

    // PESO in grams, whatever the scale of its column (thousandths of a kilogram are grams).
    static qint64 gramas(const fb::Statement& st, int c)
    {
        if (st.isNull(c)) return 0;
        qint64 x = st.unscaled(c), potencia = 1;
        const int e = st.column(c).scale + 3;
        for (int i = 0; i < std::abs(e); ++i)
            potencia *= 10;
        if (e >= 0) return x * potencia;
        return (x + (x < 0 ? -potencia / 2 : potencia / 2)) / potencia; // half away from zero
    }

    // A CPF of digits only (every CPF stored by the counter) counted by a number: its digits and
    // their count, so "0123" and "123" stay two consumers. Anything else is counted by its text.
    static qint64 chaveNumerica(QByteArrayView cpf)
    {
        if (cpf.isEmpty() || cpf.size() > 17) return -1;
        qint64 n = 0;
        for (const char ch : cpf) {
            if (ch < '0' || ch > '9') return -1;
            n = n * 10 + (ch - '0');
        }
        return n * 32 + cpf.size();
    }

    int procura(qint64 chave, QByteArrayView cpf) const
    {
        if (chave >= 0) return numeros_.value(chave, -1);
        return textos_.value(cpf.toByteArray(), -1);
    }
    void guarda(qint64 chave, QByteArrayView cpf, int i)
    {
        if (chave >= 0)
            numeros_.insert(chave, i);
        else
            textos_.insert(cpf.toByteArray(), i);
    }

    void adiciona(qint64 dia, QByteArrayView cpf, qint64 gramas)
    {
        const qint64 chave = chaveNumerica(cpf);
        int i = procura(chave, cpf);
        if (i < 0) {
            i = int(pessoas_.size());
            guarda(chave, cpf, i);
            pessoas_.push_back(Pessoa{QString::fromUtf8(cpf), chave, {}});
        }
        pessoas_[std::size_t(i)].dias.push_back(dia);
        // Meals of one day mostly come together: the day last used is tried first.
        if (ultimo_ == dias_.end() || ultimo_->first != dia) ultimo_ = dias_.try_emplace(dia).first;
        ++ultimo_->second.refeicoes;
        ultimo_->second.gramas += gramas;
    }

    std::map<qint64, Dia> dias_;
    std::map<qint64, Dia>::iterator ultimo_ = dias_.end();
    QHash<qint64, int> numeros_;
    QHash<QByteArray, int> textos_;
    std::vector<Pessoa> pessoas_;
};

// A period at least this long, with another connection at hand, is read in two halves at once.
constexpr qint64 DiasParaDividir = 60;

// Reads the period into r with le(att, tra, de, ate, r). A long period with another connection at
// hand is read in two halves at the same time, the later one on the other connection in a second
// thread, then joined into r: most of a long reading's time goes to handling the rows one by one on
// both sides of the connection, which two connections do side by side.
template <class T, class Le, class Junta>
void emMetades(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate, const Conexao& outra, T& r,
               Le le, Junta junta)
{
    if (!outra || de.daysTo(ate) < DiasParaDividir) {
        le(att, tra, de, ate, r);
        return;
    }
    const QDate meio = de.addDays(de.daysTo(ate) / 2);
    T segunda;
    std::exception_ptr erro;
    std::thread leitura([&] {
        try {
            fb::Attachment a = outra();
            fb::Transaction t(a);
            le(a, t, meio.addDays(1), ate, segunda);
            t.commit();
            a.detach();
        } catch (...) {
            erro = std::current_exception();
        }
    });
    try {
        le(att, tra, de, meio, r);
    } catch (...) {
        leitura.join();
        throw;
    }
    leitura.join();
    if (erro) std::rethrow_exception(erro);
    junta(r, segunda);
}

void leRefeicoes(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate, Contagem& contagem)
{
    fb::Statement st(att, tra, QStringLiteral("select DATA, CPF, PESO from REFEICAO where DATA between :DE and :ATE"));
    comPeriodo(st, de, ate).execute();
    while (st.fetchRaw())
        contagem.adiciona(st);
}

using Restaurantes = std::map<QString, Contagem>;

void leRestaurantes(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate, Restaurantes& r)
{
    // Every restaurant's meals of the period in one reading along the date index, counted per CNPJ.
    fb::Statement st(att, tra,
                     QStringLiteral("select CNPJ, DATA, CPF, PESO from REFEICAO where DATA between :DE and :ATE"));
    comPeriodo(st, de, ate).execute();
    // The few restaurants by their CNPJ as read, so a row finds its count without a text made.
    std::vector<std::pair<QByteArray, Contagem*>> vistos;
    while (st.fetchRaw()) {
        const QByteArrayView cnpj = semBrancosNoFim(st.bytes(0));
        auto v = std::find_if(vistos.begin(), vistos.end(), [&](const auto& x) { return x.first == cnpj; });
        if (v == vistos.end()) v = vistos.insert(vistos.end(), {cnpj.toByteArray(), &r[QString::fromUtf8(cnpj)]});
        v->second->adiciona(st, 1);
    }
}

} // namespace

QHash<QString, QString> nomes(fb::Attachment& att, fb::Transaction& tra, const QStringList& cpfs, bool todos)
{
    QHash<QString, std::pair<double, QString>> primeiro; // CPF -> (ID, NOME) of its first record
    auto le = [&primeiro](fb::Statement& st) {
        while (st.fetch()) {
            QString cpf = st.value(0).toString();
            while (cpf.endsWith(u' '))
                cpf.chop(1);
            const double id = st.value(1).toDouble();
            auto n = primeiro.find(cpf);
            if (n == primeiro.end() || id < n->first) primeiro.insert(cpf, {id, st.value(2).toString()});
        }
        st.close();
    };
    if (cpfs.isEmpty()) return {};
    // The generator bounds the number of clients without reading them.
    if (todos && fb::generatorValue(att, tra, QStringLiteral("GEN_CLIENTE")) < 5 * cpfs.size()) {
        fb::Statement st(att, tra, QStringLiteral("select CPF, ID, NOME from CLIENTE"));
        st.execute();
        le(st);
    } else {
        constexpr int PorConsulta = 50;
        QStringList marcas;
        for (int i = 0; i < PorConsulta; ++i)
            marcas << QStringLiteral(":C%1").arg(i);
        fb::Statement st(att, tra,
                         QStringLiteral("select CPF, ID, NOME from CLIENTE where CPF in (%1)").arg(marcas.join(u',')));
        QStringList lote;
        auto consulta = [&] {
            if (lote.isEmpty()) return;
            // A short last batch repeats its own first CPF in the places left.
            for (int i = 0; i < PorConsulta; ++i)
                st.setParameter(i, i < lote.size() ? lote[i] : lote[0]);
            st.execute();
            le(st);
            lote.clear();
        };
        for (const QString& cpf : cpfs) {
            // No client's CPF is longer than its column: a longer one has no record to name it.
            if (cpf.size() > 11) continue;
            lote << cpf;
            if (lote.size() == PorConsulta) consulta();
        }
        consulta();
    }
    QHash<QString, QString> r;
    r.reserve(cpfs.size());
    for (const QString& cpf : cpfs)
        r.insert(cpf, primeiro.value(cpf).second);
    return r;
}

void poeNomes(fb::Attachment& att, fb::Transaction& tra, QList<FiguraConsumidor>& consumidores)
{
    QStringList cpfs;
    cpfs.reserve(consumidores.size());
    for (const FiguraConsumidor& c : consumidores)
        cpfs << c.cpf;
    const QHash<QString, QString> n = nomes(att, tra, cpfs);
    for (FiguraConsumidor& c : consumidores)
        c.nome = n.value(c.cpf);
}

Analitico tabela(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate, const Conexao& outra)
{
    Analitico a = periodo(att, tra, de, ate, false, outra);
    a.consumidores.clear();
    return a;
}

Analitico periodo(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate, bool comNomes,
                  const Conexao& outra)
{
    Contagem contagem;
    emMetades(att, tra, de, ate, outra, contagem, leRefeicoes, [](Contagem& r, Contagem& b) { r.junta(b); });
    Analitico a = contagem.resultado();
    if (comNomes) poeNomes(att, tra, a.consumidores);
    return a;
}

QList<FiguraDia> porDia(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate)
{
    return tabela(att, tra, de, ate).dias;
}

FiguraDia total(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate)
{
    return tabela(att, tra, de, ate).total;
}

QList<FiguraConsumidor> porConsumidor(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate)
{
    return periodo(att, tra, de, ate).consumidores;
}

QList<FiguraDia> centralPorDia(fb::Attachment& att, fb::Transaction& tra, const QDate& de, const QDate& ate,
                               const Conexao& outra)
{
    // Only restaurants with meals in the period have lines.
    Restaurantes restaurantes;
    emMetades(att, tra, de, ate, outra, restaurantes, leRestaurantes, [](Restaurantes& r, Restaurantes& b) {
        for (auto& [cnpj, contagem] : b)
            r[cnpj].junta(contagem);
    });
    QList<FiguraDia> r;
    for (auto& [cnpj, contagem] : restaurantes) {
        const Analitico a = contagem.resultado(cnpj);
        r << a.dias << a.total;
    }
    return r;
}

QString kg(qint64 g)
{
    const QString sinal = g < 0 ? QStringLiteral("-") : QString();
    g = std::abs(g);
    return QStringLiteral("%1%2,%3").arg(sinal).arg(g / 1000).arg(g % 1000, 3, 10, QLatin1Char('0'));
}

QString cpfMascarado(const QString& cpf)
{
    if (cpf.size() != 11) return cpf;
    return QStringLiteral("***.%1.%2-**").arg(cpf.mid(3, 3), cpf.mid(6, 3));
}

QString csv(const QList<FiguraDia>& dias, const FiguraDia& t)
{
    QString s = QStringLiteral("data;refeicoes;consumidores;peso_total;peso_medio\n");
    for (const FiguraDia& d : dias)
        s += d.data.toString(QStringLiteral("dd/MM/yyyy")) + u';' + linha(d) + u'\n';
    s += QStringLiteral("total;") + linha(t) + u'\n';
    return s;
}

QString csvCentral(const QList<FiguraDia>& linhas)
{
    QString s = QStringLiteral("cnpj;data;refeicoes;consumidores;peso_total;peso_medio\n");
    for (const FiguraDia& d : linhas)
        s += d.cnpj + u';' +
             (d.data.isValid() ? d.data.toString(QStringLiteral("dd/MM/yyyy")) : QStringLiteral("total")) + u';' +
             linha(d) + u'\n';
    return s;
}

QDate data(const QString& texto)
{
    if (texto.size() != 10) return {};
    return QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
}

} // namespace analitico
