// The smallest X session manager (XSMP) that ends a session: it listens, prints the
// address to give clients as SESSION_MANAGER, and once the file TRIGGER exists asks every
// client to save before a shut-down; it prints "saved N ok" when the Nth client reports
// its save done. Once TRIGGER is removed again it tells the clients that have saved to
// die, and it exits when all clients are gone.
//
// Usage: minism TRIGGER

#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Client {
    SmsConn connection = nullptr;
    bool registered = false;
    bool asked = false;
    bool saved = false;
    bool told = false;
};

std::vector<Client *> clients;
std::vector<IceConn> closing; // connections to close once their messages are processed
int everConnected = 0;
int saved = 0;

Bool allowLocal(char *)
{
    return True;
}

void forget(Client *client)
{
    closing.push_back(SmsGetIceConnection(client->connection));
    SmsCleanUp(client->connection);
    std::erase(clients, client);
    delete client;
}

Status newClient(SmsConn connection, SmPointer, unsigned long *mask, SmsCallbacks *callbacks,
                 char **)
{
    auto *client = new Client{connection};
    clients.push_back(client);
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask
        | SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask
        | SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask
        | SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
    callbacks->register_client = {[](SmsConn connection, SmPointer data, char *) -> Status {
                                      char *id = SmsGenerateClientID(connection);
                                      SmsRegisterClientReply(connection, id);
                                      std::free(id);
                                      static_cast<Client *>(data)->registered = true;
                                      return 1;
                                  },
                                  client};
    callbacks->save_yourself_done
        = {[](SmsConn, SmPointer data, Bool success) {
               static_cast<Client *>(data)->saved = true;
               std::printf("saved %d %s\n", ++saved, success ? "ok" : "failed");
               std::fflush(stdout);
           },
           client};
    callbacks->close_connection = {[](SmsConn, SmPointer data, int, char **reasons) {
                                       SmFreeReasons(0, reasons);
                                       forget(static_cast<Client *>(data));
                                   },
                                   client};
    // The rest asks nothing of a manager that only ends the session.
    callbacks->interact_request = {[](SmsConn, SmPointer, int) {}, client};
    callbacks->interact_done = {[](SmsConn, SmPointer, Bool) {}, client};
    callbacks->save_yourself_request
        = {[](SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}, client};
    callbacks->save_yourself_phase2_request = {[](SmsConn, SmPointer) {}, client};
    callbacks->set_properties
        = {[](SmsConn, SmPointer, int, SmProp **properties) { std::free(properties); }, client};
    callbacks->delete_properties = {[](SmsConn, SmPointer, int, char **) {}, client};
    callbacks->get_properties = {[](SmsConn, SmPointer) {}, client};
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    char error[256];
    if (!SmsInitialize("minism", "1.0", newClient, nullptr, allowLocal, sizeof error, error)) {
        std::fprintf(stderr, "minism: %s\n", error);
        return 1;
    }
    int count = 0;
    IceListenObj *listeners = nullptr;
    if (!IceListenForConnections(&count, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "minism: %s\n", error);
        return 1;
    }
    for (int i = 0; i < count; ++i)
        IceSetHostBasedAuthProc(listeners[i], allowLocal);
    char *address = IceComposeNetworkIdList(count, listeners);
    std::printf("%s\n", address);
    std::fflush(stdout);
    std::free(address);

    std::vector<IceConn> connections;
    while (everConnected == 0 || !connections.empty()) {
        std::vector<pollfd> watched;
        for (int i = 0; i < count; ++i)
            watched.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn connection : connections)
            watched.push_back({IceConnectionNumber(connection), POLLIN, 0});
        ::poll(watched.data(), watched.size(), 100);

        for (std::size_t i = 0; i < watched.size(); ++i) {
            if (!(watched[i].revents & (POLLIN | POLLHUP)))
                continue;
            if (i < static_cast<std::size_t>(count)) {
                IceAcceptStatus status;
                if (IceConn accepted = IceAcceptConnection(listeners[i], &status)) {
                    connections.push_back(accepted);
                    ++everConnected;
                }
                continue;
            }
            IceConn connection = connections[i - static_cast<std::size_t>(count)];
            if (IceProcessMessages(connection, nullptr, nullptr) == IceProcessMessagesIOError
                || IceConnectionStatus(connection) == IceConnectRejected
                || IceConnectionStatus(connection) == IceConnectIOError) {
                const auto on = std::find_if(clients.begin(), clients.end(), [&](Client *c) {
                    return SmsGetIceConnection(c->connection) == connection;
                });
                if (on != clients.end())
                    forget(*on);
                closing.push_back(connection);
            }
        }
        for (IceConn connection : closing) {
            if (std::erase(connections, connection) > 0) {
                IceSetShutdownNegotiation(connection, False);
                IceCloseConnection(connection);
            }
        }
        closing.clear();

        struct stat trigger { };
        const bool ending = ::stat(argv[1], &trigger) == 0;
        for (Client *client : clients) {
            if (ending && client->registered && !client->asked) {
                client->asked = true;
                SmsSaveYourself(client->connection, SmSaveBoth, True, SmInteractStyleNone, False);
            } else if (!ending && client->saved && !client->told) {
                client->told = true;
                SmsDie(client->connection);
            }
        }
    }
    return 0;
}
