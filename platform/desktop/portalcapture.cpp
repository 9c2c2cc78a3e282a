#include "platform/desktop/portalcapture.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QEventLoop>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

namespace platform {
namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString ResponseSignal = QStringLiteral("Response");
constexpr int CallTimeoutMs = 5000;
// The first request may ask the user whether the program may read the screen at all.
constexpr int ResponseTimeoutMs = 60000;

// The answer to one portal request, which comes as a signal on the request's own object.
class Response final : public QObject {
    Q_OBJECT

public:
    Response(QDBusConnection bus, const QString &path)
        : bus_(std::move(bus))
    {
        listen(path);
    }
    ~Response() override { stop(); }

    // The portal names the request's object before any answer can come; one that
    // predates handle tokens may choose another path than the one asked for.
    void listen(const QString &path)
    {
        if (path == path_)
            return;
        stop();
        path_ = path;
        bus_.connect(PortalService, path_, RequestInterface, ResponseSignal, this,
                     SLOT(answer(uint, QVariantMap)));
    }

    // True for a "success" answer within the time.
    bool wait()
    {
        if (!answered_) {
            QTimer::singleShot(ResponseTimeoutMs, &loop_, &QEventLoop::quit);
            loop_.exec();
        }
        return answered_ && code_ == 0;
    }

    QVariantMap results;

public Q_SLOTS:
    void answer(uint code, const QVariantMap &answer)
    {
        answered_ = true;
        code_ = code;
        results = answer;
        loop_.quit();
    }

private:
    void stop()
    {
        if (!path_.isEmpty())
            bus_.disconnect(PortalService, path_, RequestInterface, ResponseSignal, this,
                            SLOT(answer(uint, QVariantMap)));
    }

    QDBusConnection bus_;
    QString path_;
    QEventLoop loop_;
    bool answered_ = false;
    uint code_ = 2;
};

class PortalScreenCapture final : public ScreenCapture {
public:
    bool available() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return false;
        const QDBusConnectionInterface *daemon = bus.interface();
        if (daemon->isServiceRegistered(PortalService))
            return true;
        const QDBusReply<QStringList> activatable = daemon->activatableServiceNames();
        return activatable.isValid() && activatable.value().contains(PortalService);
    }

    std::vector<Capture> captureScreens() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        // Listening starts before the call so that an early answer cannot be missed.
        const QString token
            = QStringLiteral("chromalynx%1").arg(QRandomGenerator::global()->generate());
        QString sender = bus.baseService().mid(1);
        sender.replace(u'.', u'_');
        Response response(bus, PortalPath + QStringLiteral("/request/") + sender + u'/' + token);

        QDBusMessage call = QDBusMessage::createMethodCall(
            PortalService, PortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
            QStringLiteral("Screenshot"));
        call << QString()
             << QVariantMap{{QStringLiteral("handle_token"), token},
                            {QStringLiteral("interactive"), false}};
        const QDBusMessage reply = bus.call(call, QDBus::Block, CallTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        response.listen(qvariant_cast<QDBusObjectPath>(reply.arguments().constFirst()).path());
        if (!response.wait())
            return {};

        const QUrl uri(response.results.value(QStringLiteral("uri")).toString());
        const QImage desktop(uri.toLocalFile());
        QList<QRect> monitors;
        for (const QScreen *screen : QGuiApplication::screens())
            monitors.append(screen->geometry());
        return SplitDesktopImage(desktop, monitors);
    }
};

} // namespace

std::unique_ptr<ScreenCapture> CreatePortalScreenCapture()
{
    return std::make_unique<PortalScreenCapture>();
}

} // namespace platform

#include "portalcapture.moc"
