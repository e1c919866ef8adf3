#pragma once
// The data module: the one connection to the local database, the one transaction every
// statement runs in, and the datasets several screens share.

#include "data/conexao.h"
#include "data/dataset.h"
#include "data/firebird.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

// Runs one statement that returns no rows (the lines of SQL are set by each use).
class ExecutorSQL
{
public:
    ExecutorSQL(fb::Attachment& att, fb::Transaction& tra) : att_(att), tra_(tra) {}
    QStringList SQL;
    void setParametro(const QString& name, const QVariant& value) { params_[name.toUpper()] = value; }
    void ExecQuery();
    unsigned linhasAfetadas() const { return afetadas_; }

private:
    fb::Attachment& att_;
    fb::Transaction& tra_;
    QHash<QString, QVariant> params_;
    unsigned afetadas_ = 0;
};

class TDados : public QObject
{
    Q_OBJECT
public:
    // Opens the connection and starts the transaction; a database that cannot be reached
    // throws fb::Error with the server's message.
    explicit TDados(const fb::ConnectionSettings& banco = conexao::bancoLocal(), QObject* parent = nullptr);
    ~TDados() override;

    fb::Attachment fatura;
    fb::Transaction TransFatura;
    // The database fatura is connected to, for a second connection to the same one.
    const fb::ConnectionSettings& banco() const { return banco_; }

    Dataset* Programa;
    Dataset* Acessos;
    Dataset* Usuarios;
    Dataset* Empresas;
    Dataset* LogEntrada;
    Dataset* Cliente;
    Dataset* Refeicao;
    Dataset* UF;
    Dataset* UltimoRegistro;
    std::unique_ptr<ExecutorSQL> ExecSQL;

    QString SistemaCentral;
    QString IpSistemaCentral;
    QString VersaoSistemaCentral;
    quint32 CorDBGrid = 0x000000;
    quint32 CorSelecao = 0x000000;
    quint32 CorTitulo = 0x000000; // never assigned: black

    // Commit-retaining, then re-read the dataset and go back to where it stood.
    void ProgramaAfterPost(Dataset& DataSet);
    // Consumer name of each meal of the shared list.
    void RefeicaoCalcFields(Dataset& DataSet);

    // Starts the connection and transaction again when they were closed or lost (nothing when open).
    void conecta();
    // Closes the shared datasets, ends the transaction and disconnects.
    void desconecta();

    // The server dropped the connection under the program (a closing by desconecta() is not a loss).
    bool conexaoPerdida() const { return !desconectado_ && fatura.isLost(); }
    // Attaches again after a loss and starts TransFatura; every dataset that was open on fatura (the
    // screens' own as well) reads its rows again and goes back to the row it showed, one being
    // written keeps what was typed and posts on the new connection. Throws fb::Error when the
    // server is still away; the lost connection stays as it was then.
    void reconecta();

    // Ends TransFatura with a hard commit and starts it again with the same options, so the server
    // may clean up the old versions of rows that a transaction only ever committed retaining would
    // keep for as long as the program runs. Every dataset open on it reads its rows again and goes
    // back to the row it showed. Nothing is done (false) while a dataset on it is being edited or
    // inserted, while momentoLivre says no, or with the connection closed or lost.
    bool renovaTransacao();
    // The renewal runs on its own every intervaloRenovacao() milliseconds; one that could not run
    // is tried again a few seconds later, until it does.
    static constexpr int RenovacaoPadrao = 5 * 60 * 1000;
    void setIntervaloRenovacao(int ms);
    int intervaloRenovacao() const { return renovacao_.interval(); }
    // The program says whether this is a moment the screens may see their rows read again (no
    // modal box waiting in the middle of an action); empty: any moment is.
    std::function<bool()> momentoLivre;

private:
    void renovacaoAgendada();

    fb::ConnectionSettings banco_;
    bool desconectado_ = false;
    std::unique_ptr<fb::Statement> nomePorCpf_;
    QTimer renovacao_, novaTentativa_;
};

// The data module of the running program.
extern TDados* Dados;

// First non-loopback IPv4 address of this workstation (at most 16 characters), for the audit columns.
QString enderecoLocal();
