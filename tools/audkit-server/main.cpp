#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>

#include "audkit/tree/aud_context.hpp"
#include "tools/audkit-server/commands/server_commands.hpp"

int main(int argc, char** argv) {
    using namespace audkit::server;
    CLI::App app{"audkit-server: a results backend for audkit scans, with its accounts"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "audkit-server " + audkit::audVersion());
    const char* fromEnvironment = std::getenv("AUDKIT_SERVER_DATABASE");
    std::string database = fromEnvironment && *fromEnvironment ? fromEnvironment : "audkit-server.sqlite3";
    app.add_option("--database", database,
                   "a SQLite file (made when missing) or postgresql://... (default: AUDKIT_SERVER_DATABASE, else "
                   "audkit-server.sqlite3)");

    auto* init = app.add_subcommand("init", "Make the database's tables (serve does it too)");

    std::string listen = "127.0.0.1:8080";
    ServerOptions options;
    std::size_t maxBodyMb = options.maxBodyBytes >> 20;
    auto* serve = app.add_subcommand("serve", "Serve results until SIGINT or SIGTERM");
    serve->add_option("--listen", listen, "HOST:PORT to listen on (default 127.0.0.1:8080)");
    serve->add_option("--public-url", options.publicUrl,
                      "the address clients reach this server at (default: the scheme and Host of each request)");
    serve->add_option("--realm", options.realm, "the realm of the token endpoint (default audkit)");
    auto* certificate = serve->add_option("--certificate", options.certificate, "PEM certificate: serve HTTPS");
    auto* key = serve->add_option("--private-key", options.privateKey, "the certificate's PEM private key");
    certificate->needs(key);
    key->needs(certificate);
    serve->add_flag("--behind-proxy", options.behindProxy,
                    "take the client's address and scheme from X-Forwarded-For and X-Forwarded-Proto");
    serve->add_option("--max-body-mb", maxBodyMb, "the largest request body, gzip undone (default 64)")
        ->check(CLI::Range(1, 4096));
    serve->add_option("--threads", options.threads, "requests answered at once (default 8)")->check(CLI::Range(1, 256));

    auto* user = app.add_subcommand("user", "Add or remove a user")->require_subcommand(1);
    std::string email, organisation;
    auto* userAdd = user->add_subcommand("add", "Add a user (password from AUDKIT_SERVER_PASSWORD or standard input)");
    userAdd->add_option("EMAIL", email, "the user's e-mail address, their login name")->required();
    userAdd->add_option("--organisation", organisation, "the organisation whose results the user shares")->required();
    auto* userRemove = user->add_subcommand("remove", "Remove a user and their keys");
    userRemove->add_option("EMAIL", email)->required();

    auto* keys = app.add_subcommand("key", "Create, revoke or list API keys")->require_subcommand(1);
    std::string keyId;
    auto* keyCreate = keys->add_subcommand("create", "Create an API key for a user and print it (only now)");
    keyCreate->add_option("EMAIL", email)->required();
    auto* keyRevoke = keys->add_subcommand("revoke", "Revoke an API key");
    keyRevoke->add_option("KEY", keyId, "the key's id (as key list shows it) or the key itself")->required();
    auto* keyList = keys->add_subcommand("list", "List the keys: id, user, revoked or not");

    std::string target;
    auto* backup = app.add_subcommand("backup", "Copy a SQLite database while the server runs");
    backup->add_option("FILE", target, "the copy to write (must not exist)")->required();

    CLI11_PARSE(app, argc, argv);
    options.maxBodyBytes = maxBodyMb << 20;
    auto& out = std::cout;
    auto& err = std::cerr;
    if (init->parsed()) return runInit(database, out, err);
    if (serve->parsed()) return runServe(database, listen, options, out, err);
    if (userAdd->parsed()) return runUserAdd(database, email, organisation, out, err);
    if (userRemove->parsed()) return runUserRemove(database, email, out, err);
    if (keyCreate->parsed()) return runKeyCreate(database, email, out, err);
    if (keyRevoke->parsed()) return runKeyRevoke(database, keyId, out, err);
    if (keyList->parsed()) return runKeyList(database, out, err);
    if (backup->parsed()) return runBackup(database, target, out, err);
    return 2;
}
