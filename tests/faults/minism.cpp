// The smallest X session manager (XSMP) that ends a session: it prints the address to give
// clients as SESSION_MANAGER; once the file TRIGGER exists it asks every client to save
// before a shut-down and prints "saved N ok" when the Nth save is reported done; once
// TRIGGER is removed again it tells the clients that saved to die, and it exits when all
// clients are gone.
//
// Usage: minism TRIGGER

#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <sys/stat.h>

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
std::vector<IceConn> closing; // to close once their messages are processed
int saves = 0;

void forget(Client *client)
{
    closing.push_back(SmsGetIceConnection(client->connection));
    SmsCleanUp(client->connection);
    std::erase(clients, client);
    delete client;
}

Status newClient(SmsConn connection, SmPointer, unsigned long *mask, SmsCallbacks *calls, char **)
{
    auto *client = new Client{connection};
    clients.push_back(client);
    // Every callback is set: SMlib calls them without looking at the mask.
    *mask = ~0UL;
    calls->register_client = {[](SmsConn connection, SmPointer data, char *) -> Status {
                                  char *id = SmsGenerateClientID(connection);
                                  SmsRegisterClientReply(connection, id);
                                  std::free(id);
                                  return static_cast<Client *>(data)->registered = true;
                              },
                              client};
    calls->save_yourself_done
        = {[](SmsConn, SmPointer data, Bool success) {
               static_cast<Client *>(data)->saved = true;
               std::printf("saved %d %s\n", ++saves, success ? "ok" : "failed");
               std::fflush(stdout);
           },
           client};
    calls->close_connection = {[](SmsConn, SmPointer data, int, char **reasons) {
                                   SmFreeReasons(0, reasons);
                                   forget(static_cast<Client *>(data));
                               },
                               client};
    calls->set_properties
        = {[](SmsConn, SmPointer, int, SmProp **props) { std::free(props); }, client};
    calls->interact_request = {[](SmsConn, SmPointer, int) {}, client};
    calls->interact_done = {[](SmsConn, SmPointer, Bool) {}, client};
    calls->save_yourself_request = {[](SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}, client};
    calls->save_yourself_phase2_request = {[](SmsConn, SmPointer) {}, client};
    calls->delete_properties = {[](SmsConn, SmPointer, int, char **) {}, client};
    calls->get_properties = {[](SmsConn, SmPointer) {}, client};
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const auto allowLocal = [](char *) -> Bool { return True; };
    char error[256];
    int count = 0;
    IceListenObj *listeners = nullptr;
    if (argc != 2
        || !SmsInitialize("minism", "1.0", newClient, nullptr, allowLocal, sizeof error, error)
        || !IceListenForConnections(&count, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "minism: %s\n", argc == 2 ? error : "usage: minism TRIGGER");
        return 1;
    }
    for (int i = 0; i < count; ++i)
        IceSetHostBasedAuthProc(listeners[i], allowLocal);
    char *address = IceComposeNetworkIdList(count, listeners);
    std::printf("%s\n", address);
    std::fflush(stdout);
    std::free(address);

    std::vector<IceConn> connections;
    bool connected = false;
    while (!connected || !connections.empty()) {
        std::vector<pollfd> watched;
        for (int i = 0; i < count; ++i)
            watched.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn connection : connections)
            watched.push_back({IceConnectionNumber(connection), POLLIN, 0});
        ::poll(watched.data(), watched.size(), 100);

        for (std::size_t i = 0; i < watched.size(); ++i) {
            if (!(watched[i].revents & (POLLIN | POLLHUP)))
                continue;
            IceAcceptStatus status;
            if (i < static_cast<std::size_t>(count)) {
                if (IceConn accepted = IceAcceptConnection(listeners[i], &status)) {
                    connections.push_back(accepted);
                    connected = true;
                }
                continue;
            }
            IceConn connection = connections[i - static_cast<std::size_t>(count)];
            if (IceProcessMessages(connection, nullptr, nullptr) == IceProcessMessagesIOError
                || IceConnectionStatus(connection) == IceConnectRejected
                || IceConnectionStatus(connection) == IceConnectIOError) {
                for (Client *client : clients) {
                    if (SmsGetIceConnection(client->connection) == connection) {
                        forget(client);
                        break;
                    }
                }
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
