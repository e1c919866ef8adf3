#include "clients/regrascliente.h"

#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/texto.h"
#include "data/arquivos.h"

#include <QList>

namespace {

struct Codigo
{
    const char* codigo;
    const char* lista;  // text offered for picking
    const char* mostra; // text shown for the stored code
};

const Codigo codigosCivil[] = {{"1", "1 - Solteiro(a)", "1 - Solteiro(a)"},
                               {"2", "2 - Casado(a)", "2 - Casado(a)"},
                               {"3", "3 - Viuvo(a)", "3 - Viuvo(a)"},
                               {"4", "4 - Separação Judicial", "4 - Separação Judicial"},
                               {"5", "5 - Outros", "5 - Outros"}};
const Codigo codigosEscolaridade[] = {{"1", "1-Analfabeto", "1-Analfabeto"},
                                      {"2", "2-1º Grau Incompleto", "2-1º Grau Incompleto"},
                                      {"3", "3-1º Grau Completo", "3-1º Grau Completo"},
                                      {"4", "4-2º Grau Incompleto", "4-2º Grau Incompleto"},
                                      {"5", "5-2º Grau Completo", "5-2º Grau Completo"},
                                      {"6", "6-3º Grau Incompleto", "6-3º Grau Incompleto"},
                                      {"7", "7-3º Grau Completo", "7-3º Grau Completo"}};
// The list says BRANCO, the display BRANCA: both are what the operators know.
const Codigo codigosCor[] = {{"1", "1-PARDO", "1-PARDO"},       {"2", "2-BRANCO", "2-BRANCA"},
                             {"3", "3-NEGRO", "3-NEGRO"},       {"4", "4-AMARELA", "4-AMARELA"},
                             {"5", "5-INDIGENA", "5-INDIGENA"}, {"9", "9-SEM INFORMAÇÃO", "9-SEM INFORMAÇÃO"}};

template <std::size_t N> QStringList lista(const Codigo (&codigos)[N])
{
    QStringList r;
    for (const Codigo& c : codigos)
        r << QString::fromUtf8(c.lista);
    return r;
}

template <std::size_t N> QString mostra(const Codigo (&codigos)[N], const QString& codigo)
{
    for (const Codigo& c : codigos)
        if (codigo == QLatin1String(c.codigo)) return QString::fromUtf8(c.mostra);
    return {};
}

// A key typed or noted as text, for a parameter: "" is no client (0); anything else must be a whole number.
qint64 chaveDoTexto(const QString& texto)
{
    const QString t = texto.trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (!ok) throw ErroConversao(QStringLiteral("'%1' não é um valor inteiro válido").arg(texto));
    return v;
}

// The client on screen, or none while a new one is being typed.
QVariant idProprio(Dataset& cliente)
{
    if (cliente.state() == EstadoDataset::Insert) return {};
    return cliente.field(QStringLiteral("ID")).value();
}

bool mesmoId(const QVariant& a, const QVariant& b)
{
    if (!a.isValid() || a.isNull() || !b.isValid() || b.isNull()) return false;
    return a.toLongLong() == b.toLongLong();
}

// First client holding `valor` in `coluna` other than the one on screen (BuscaCliente of the screen).
// Skipping the client's own row, wherever it comes, keeps a real duplicate from being hidden behind it.
bool outroCliente(Dataset& cliente, const QString& coluna, const QString& valor, QString& id, QString& nome)
{
    fb::Statement BuscaCliente(*cliente.attachment(), *cliente.transaction(),
                               QStringList{QStringLiteral("SELECT NOME, CPF, ID"), QStringLiteral("FROM CLIENTE"),
                                           QStringLiteral("WHERE %1 = :VALOR").arg(coluna)}
                                   .join(u'\n'));
    BuscaCliente.setParameter(QStringLiteral("VALOR"), valor);
    BuscaCliente.execute();
    const QVariant proprio = idProprio(cliente);
    while (BuscaCliente.fetch()) {
        const QVariant achado = BuscaCliente.value(2);
        if (mesmoId(achado, proprio)) continue;
        id = QString::number(achado.toLongLong());
        nome = BuscaCliente.value(0).toString();
        return true;
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------- dataset rules

void instalaRegrasCliente(TDados& dados)
{
    Dataset& c = *dados.Cliente;
    c.afterInsert = ClienteAfterInsert;
    for (const char* coluna : {"ESCOLARIDADE", "CIVIL", "COR"})
        c.field(QString::fromLatin1(coluna)).onSetText = ClienteESCOLARIDADESetText;
    c.field(QStringLiteral("NACIONALIDADE")).onSetText = ClienteNACIONALIDADESetText;
    c.field(QStringLiteral("CPF")).setEditMask(QStringLiteral("000\\.000\\.000\\-00;0;_"));
    c.field(QStringLiteral("TELEFONE")).setEditMask(QStringLiteral("!\\(99\\)00000-0000;0;_"));
    c.field(QStringLiteral("CELULAR")).setEditMask(QStringLiteral("!\\(99\\)00000-0000;0;_"));
    c.field(QStringLiteral("CEP")).setEditMask(QStringLiteral("00\\.000\\-000;0;_"));
    c.field(QStringLiteral("NASC")).setEditMask(QStringLiteral("!99/99/9900;1;_"));
}

void ClienteAfterInsert(Dataset& DataSet)
{
    Dataset& empresas = *Dados->Empresas;
    if (!empresas.active()) empresas.open();
    const bool temEmpresa = !empresas.isEmpty();
    const QString fone = temEmpresa ? empresas.field(QStringLiteral("TELEFONE")).asString() : QString();
    const QString cidade = temEmpresa ? empresas.field(QStringLiteral("CIDADE")).asString() : QString();

    DataSet.field(QStringLiteral("UF")).setValue(1);
    DataSet.field(QStringLiteral("ATIVO")).setValue(QStringLiteral("S"));
    DataSet.field(QStringLiteral("RGUF")).setValue(QStringLiteral("1"));
    DataSet.field(QStringLiteral("NATURALIDADE")).setValue(QStringLiteral("PARAIBA"));
    DataSet.field(QStringLiteral("NACIONALIDADE")).setValue(10);
    // Both phones come from the company's one phone, without its first character (the 0 before the
    // area code). The company's column is wider than the client's: the rest is cut, so that a long
    // company phone never stops a new client from being started.
    Field& telefone = DataSet.field(QStringLiteral("TELEFONE"));
    Field& celular = DataSet.field(QStringLiteral("CELULAR"));
    telefone.setValue(fone.mid(1).left(telefone.size() > 0 ? telefone.size() : 11));
    celular.setValue(fone.mid(1).left(celular.size() > 0 ? celular.size() : 11));
    Field& cid = DataSet.field(QStringLiteral("CIDADE"));
    cid.setValue(cid.size() > 0 ? cidade.left(cid.size()) : cidade);
}

void ClienteESCOLARIDADESetText(Field& Sender, const QString& Text)
{
    if (!Sender.dataset()->isEditing()) return;
    const QString primeiro = Text.left(1).trimmed();
    if (primeiro.isEmpty()) {
        Sender.clear();
        return;
    }
    // The lists take free text: one that does not start with a code of the list would store a code
    // no list shows (the box then blank), or fail as a number.
    if (regrascliente::textoDoCodigo(Sender.fieldName(), primeiro).isEmpty())
        throw fb::Error(QStringLiteral("'%1' não é um item da lista de %2")
                            .arg(Text.trimmed(), regrascliente::nomeDaLista(Sender.fieldName())));
    Sender.setValue(Sender.converteTexto(primeiro));
}

void ClienteNACIONALIDADESetText(Field& Sender, const QString& Text)
{
    if (!Sender.dataset()->isEditing()) return;
    const QString dois = Text.left(2).trimmed();
    if (dois.isEmpty()) {
        Sender.clear();
        return;
    }
    Sender.setValue(Sender.converteTexto(dois));
}

void FixaCliente(const QString& codigoID)
{
    Dataset& cliente = *Dados->Cliente;
    if (cliente.active() && cliente.field(QStringLiteral("ID")).asString() == codigoID) return;
    const qint64 id = chaveDoTexto(codigoID);
    cliente.close();
    cliente.setLinha(1, regrascliente::linhaPorId());
    cliente.setParametro(QStringLiteral("ID"), id);
    cliente.open();
}

namespace regrascliente {

// ---------------------------------------------------------------- selection lines

const QString planoPorId = QStringLiteral(" PLAN SORT (CLIENTE INDEX (PK_CLIENTE))");
const QString planoPorCpf = QStringLiteral(" PLAN SORT (CLIENTE INDEX (IX_CLIENTE_CPF))");
const QString planoPorIdentidade = QStringLiteral(" PLAN SORT (CLIENTE INDEX (IX_CLIENTE_IDENTIDADE))");

QString linhaPorId()
{
    return QStringLiteral("WHERE ID = :ID") + planoPorId;
}

// ---------------------------------------------------------------- code lists

QStringList listaCivil()
{
    return lista(codigosCivil);
}

QStringList listaEscolaridade()
{
    return lista(codigosEscolaridade);
}

QStringList listaCor()
{
    return QStringList{QStringLiteral(" ")} + lista(codigosCor);
}

QStringList listaSexo()
{
    return {QStringLiteral("M"), QStringLiteral("F")};
}

QString nomeDaLista(const QString& coluna)
{
    const QString col = coluna.toUpper();
    if (col == QLatin1String("CIVIL")) return QStringLiteral("Estado Civil");
    if (col == QLatin1String("ESCOLARIDADE")) return QStringLiteral("Escolaridade");
    if (col == QLatin1String("COR")) return QStringLiteral("Raça/Cor");
    return coluna;
}

QString textoDoCodigo(const QString& coluna, const QVariant& codigo)
{
    if (!codigo.isValid() || codigo.isNull()) return {};
    // Compared as text, "1" to "9", as the codes are single digits.
    const QString c = codigo.toString().trimmed();
    const QString col = coluna.toUpper();
    if (col == QLatin1String("CIVIL")) return mostra(codigosCivil, c);
    if (col == QLatin1String("ESCOLARIDADE")) return mostra(codigosEscolaridade, c);
    if (col == QLatin1String("COR")) return mostra(codigosCor, c);
    return {};
}

// ---------------------------------------------------------------- name

QString mensagemUmNome()
{
    return QStringLiteral("Não é possivel utilizar apenas 1 nome\nNome do paciente deve ter no mínimo 2 nomes");
}

QString mensagemAbreviacao()
{
    return QStringLiteral("Não é Permitida a abreviação do nome");
}

QString mensagemEspacoDuplo()
{
    return QStringLiteral("Não é Permitida a utilização de Espaço Duplo");
}

QString mensagemAcentuacao()
{
    return QStringLiteral("Não é Permitida a utilização de acentuação no Nome do Paciente");
}

QStringList problemasDoNome(const QString& nome)
{
    if (!nome.contains(u' ')) return {mensagemUmNome()};
    QStringList r;
    if (nome.contains(u'.')) r << mensagemAbreviacao();
    if (nome.contains(QStringLiteral("  "))) r << mensagemEspacoDuplo();
    static const QString acentuadas = QStringLiteral("ÁÉÍÓÚÃÕÂÊÔÛÀ");
    for (const QChar c : acentuadas)
        if (nome.contains(c)) {
            r << mensagemAcentuacao();
            break;
        }
    // A letter standing alone is an abbreviation; E ("JOAO E MARIA") is a word.
    for (const char16_t inicio : {u'A', u'a'})
        for (char16_t l = inicio; l < inicio + 26; ++l) {
            if (l == u'E' || l == u'e') continue;
            if (nome.contains(QString(u' ') + QChar(l) + u' ')) r << mensagemAbreviacao();
        }
    return r;
}

QString sexoPeloNome(const QString& nome)
{
    const qsizetype branco = nome.indexOf(u' ');
    if (branco > 0) {
        const QChar ultima = nome[branco - 1];
        if (ultima == u'A' || ultima == u'I') return QStringLiteral("F");
    }
    return QStringLiteral("M");
}

bool perguntaNomeDuplicado(Dataset& cliente, const QString& nome)
{
    struct Achado
    {
        qint64 id;
        QString texto;
    };
    QList<Achado> achados;
    {
        // The rows are read to the end before any question: answering Yes re-opens the client dataset.
        fb::Statement Pesquisa(
            *cliente.attachment(), *cliente.transaction(),
            QStringLiteral("SELECT ID, NOME, IDENTIDADE, PAI, MAE from CLIENTE\nWHERE NOME = :NOME"));
        Pesquisa.setParameter(QStringLiteral("NOME"), nome.toUpper());
        Pesquisa.execute();
        while (Pesquisa.fetch()) {
            const qint64 id = Pesquisa.value(0).toLongLong();
            QString detalhes = QStringLiteral("Ficha nº: ") + QString::number(id) + u'\n';
            const QVariant identidade = Pesquisa.value(2), pai = Pesquisa.value(3), mae = Pesquisa.value(4);
            if (!identidade.isNull() && identidade.toString() >= QLatin1String("0"))
                detalhes += QStringLiteral("Identidade: ") + identidade.toString() + u'\n';
            if (!pai.isNull() && pai.toString() >= QLatin1String("A"))
                detalhes += QStringLiteral("Nome do Pai: ") + pai.toString() + u'\n';
            if (!mae.isNull() && mae.toString() >= QLatin1String("A"))
                detalhes += QStringLiteral("Nome da Mãe: ") + mae.toString() + u'\n';
            achados << Achado{id, detalhes};
        }
    }
    bool abandonou = false;
    for (const Achado& a : achados) {
        const int resposta = dialogos().mensagem(TipoCaixa::Informacao, Dialogos::tituloPadrao(TipoCaixa::Informacao),
                                                 QStringLiteral("Nome já Cadastrado\n") + a.texto +
                                                     QStringLiteral("\nDeseja ir para o registro já Cadastrado?"),
                                                 Botao::Sim | Botao::Nao);
        if (resposta != Botao::Sim) continue;
        cliente.cancel();
        cliente.close();
        cliente.setLinha(1, regrascliente::linhaPorId());
        cliente.setParametro(QStringLiteral("ID"), a.id);
        cliente.open();
        abandonou = true;
    }
    return abandonou;
}

bool saidaNome(Dataset& cliente)
{
    Field& campo = cliente.field(QStringLiteral("NOME"));
    const QString digitado = campo.asString();
    if (digitado.isEmpty()) return true;
    const QString nome = digitado.trimmed();
    if (cliente.isEditing() && nome != digitado) campo.setValue(nome);
    if (cliente.state() == EstadoDataset::Browse || !cliente.isEditing()) return true;

    const bool incluindo = cliente.state() == EstadoDataset::Insert;
    const QStringList problemas = problemasDoNome(nome);
    for (const QString& m : problemas) {
        avisa(m);
        if (incluindo || m == mensagemUmNome()) return false;
    }
    if (cliente.state() == EstadoDataset::Insert) perguntaNomeDuplicado(cliente, nome);
    if (cliente.state() == EstadoDataset::Insert)
        cliente.field(QStringLiteral("SEXO")).setValue(sexoPeloNome(campo.asString()));
    return true;
}

// ---------------------------------------------------------------- CPF and identity document

void avisaCpfDuplicado(Dataset& cliente, QString& xBuscaCPF)
{
    if (xBuscaCPF.isEmpty()) xBuscaCPF = BuscaConfiguracao(QStringLiteral("BuscaCPF"));
    if (xBuscaCPF != QLatin1String("S") || !cliente.isEditing()) return;
    const Field& cpf = cliente.field(QStringLiteral("CPF"));
    if (cpf.isNull() || cpf.asString().trimmed().isEmpty()) return;
    QString id, nome;
    if (!outroCliente(cliente, QStringLiteral("CPF"), cpf.asString(), id, nome)) return;
    informa(QStringLiteral("O CPF ") + cpf.asString() + QStringLiteral(" já existe para o paciente\nCódigo: ") + id +
                QStringLiteral("\nNome: ") + nome,
            QStringLiteral("CPF duplicado "));
}

void avisaIdentidadeDuplicada(Dataset& cliente, QString& xBuscaRG)
{
    if (!cliente.isEditing()) return;
    const Field& identidade = cliente.field(QStringLiteral("IDENTIDADE"));
    const QString aparada = identidade.asString().trimmed();
    if (aparada.isEmpty()) return;
    if (xBuscaRG.isEmpty()) xBuscaRG = BuscaConfiguracao(QStringLiteral("BuscaRG"));
    if (xBuscaRG != QLatin1String("S") || identidade.isNull()) return;
    QString id, nome;
    if (!outroCliente(cliente, QStringLiteral("IDENTIDADE"), aparada, id, nome)) return;
    informa(QStringLiteral("O RG ") + identidade.asString() + QStringLiteral(" já existe para o paciente\nCódigo: ") +
                id + QStringLiteral("\nNome: ") + nome,
            QStringLiteral("RG duplicado "));
}

// ---------------------------------------------------------------- phones

QString mensagemTelefone()
{
    return QStringLiteral("Número do telefone deve ter 11 digitos");
}

bool normalizaTelefone(QString& p)
{
    p = p.leftJustified(11, u' ', true);
    if (p[0] == u'0') p = p.mid(1) + u' ';
    if (p[2] != u' ' && p[10] == u' ' && p.trimmed().size() > 3) p = p.left(2) + u' ' + p.mid(2, 8);
    return p.trimmed().size() == 11;
}

QString posicoesTelefone(const QString& valor)
{
    if (valor.size() >= 11) return valor.left(11);
    // Ten characters without a blank are an area code and an eight-digit number (a new client's
    // default, the company's phone without its leading 0): the landline form of the rule.
    if (valor.size() == 10 && !valor.contains(u' ')) return valor.left(2) + u' ' + valor.mid(2);
    // Anything shorter sits at the right, as the mask puts it: the area code is the optional part.
    return valor.rightJustified(11, u' ');
}

bool saidaTelefone(Field& telefone)
{
    if (!telefone.dataset()->isEditing()) return true;
    const QString valor = telefone.asString();
    if (valor.trimmed().isEmpty()) return true;
    QString posicoes = telefone.editMask().isEmpty() ? valor : posicoesTelefone(valor);
    if (!normalizaTelefone(posicoes)) {
        simples(mensagemTelefone());
        return false;
    }
    if (posicoes != valor) telefone.setValue(posicoes);
    return true;
}

// ---------------------------------------------------------------- mother's name and district

void saidaMae(Dataset& cliente)
{
    if (!cliente.isEditing()) return;
    Field& mae = cliente.field(QStringLiteral("MAE"));
    const QString aparada = mae.asString().trimmed();
    if (aparada != mae.asString()) mae.setValue(aparada);
}

void saidaBairro(Dataset& cliente)
{
    if (!cliente.isEditing()) return;
    Field& bairro = cliente.field(QStringLiteral("BAIRRO"));
    const QString limpo = SemSimbolos(bairro.asString());
    if (limpo != bairro.asString()) bairro.setValue(limpo);
}

} // namespace regrascliente
