#pragma once
// A fresh database per test, built from the project's schema script on the running server and
// dropped again when the guard goes.

#include "data/firebird.h"

class TestDatabase
{
public:
    enum Kind { Local, Central };
    explicit TestDatabase(Kind kind = Local);
    // Built from another schema script (one of an earlier version, say), path from the source tree.
    explicit TestDatabase(const QString& scriptFromSource);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const fb::ConnectionSettings& settings() const { return settings_; }
    // The server's port in settings(), and the same database reached on another port of this
    // machine (a relay in front of the server).
    int serverPort() const;
    fb::ConnectionSettings throughPort(int port) const;
    // A new attachment of its own to this database.
    fb::Attachment attach() const { return fb::Attachment::attach(settings_); }
    // Runs statements with a private connection, committed (for fixtures).
    void exec(const QString& sql) const;
    // First column of the first row of a select, read through a connection of its own
    // (what another workstation would see); invalid when there is no row.
    QVariant valor(const QString& sql) const;

private:
    fb::ConnectionSettings settings_;
};
