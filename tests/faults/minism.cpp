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

Status registerClient(SmsConn connection, SmPointer data, char *)
{
    auto *client = static_cast<Client *>(data);
    char *id = SmsGenerateClientID(connection);
    SmsRegisterClientReply(connection, id);
    std::free(id);
    client->registered = true;
    return 1;
}

void saveYourselfDone(SmsConn, SmPointer data, Bool success)
{
    static_cast<Client *>(data)->saved = true;
    std::printf("saved %d %s\n", ++saved, success ? "ok" : "failed");
    std::fflush(stdout);
}

void closeConnection(SmsConn connection, SmPointer data, int, char **reasons)
{
    auto *client = static_cast<Client *>(data);
    SmFreeReasons(0, reasons);
    closing.push_back(SmsGetIceConnection(connection));
    SmsCleanUp(connection);
    std::erase(clients, client);
    delete client;
}

void ignoreRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) { }
void ignoreP2(SmsConn, SmPointer) { }
void ignoreInteract(SmsConn, SmPointer, int) { }
void ignoreInteractDone(SmsConn, SmPointer, Bool) { }
void ignoreProperties(SmsConn, SmPointer, int, SmProp **properties)
{
    std::free(properties);
}
void ignoreDelete(SmsConn, SmPointer, int, char **) { }
void ignoreGet(SmsConn, SmPointer) { }

Status newClient(SmsConn connection, SmPointer, unsigned long *mask, SmsCallbacks *callbacks,
                 char **)
{
    auto *client = new Client{connection};
    clients.push_back(client);
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask
        | SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask
        | SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask
        | SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
    callbacks->register_client = {registerClient, client};
    callbacks->interact_request = {ignoreInteract, client};
    callbacks->interact_done = {ignoreInteractDone, client};
    callbacks->save_yourself_request = {ignoreRequest, client};
    callbacks->save_yourself_phase2_request = {ignoreP2, client};
    callbacks->save_yourself_done = {saveYourselfDone, client};
    callbacks->close_connection = {closeConnection, client};
    callbacks->set_properties = {ignoreProperties, client};
    callbacks->delete_properties = {ignoreDelete, client};
    callbacks->get_properties = {ignoreGet, client};
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
                for (Client *client : clients) {
                    if (SmsGetIceConnection(client->connection) == connection) {
                        SmsCleanUp(client->connection);
                        std::erase(clients, client);
                        delete client;
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
