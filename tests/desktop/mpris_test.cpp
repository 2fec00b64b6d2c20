// The MPRIS bridge on a private session bus (the test runs under dbus-run-session), driven by a
// D-Bus client on a connection of its own, against the real window with the real decoder library
// heard through the private sound server.
#include <QCheckBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "desktop/mpris_bridge.h"
#include "tests/app/jpeg_files.h"
#include "tests/app/main_form_fixture.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/pulse_server.h"

namespace {

using testsupport::PulseServer;

constexpr const char* kPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRoot = "org.mpris.MediaPlayer2";
constexpr const char* kPlayer = "org.mpris.MediaPlayer2.Player";

// What a desktop's now-playing widget does: reads properties, calls methods and listens to the
// player's signals, all over the bus.
class MprisClient : public QObject {
  Q_OBJECT

 public:
  explicit MprisClient(QString service)
      : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("mpris-client"))),
        service_(std::move(service)) {
    bus_.connect(service_, kPath, "org.freedesktop.DBus.Properties", "PropertiesChanged", this,
                 SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
    bus_.connect(service_, kPath, kPlayer, "Seeked", this, SLOT(OnSeeked(qlonglong)));
  }
  ~MprisClient() override { QDBusConnection::disconnectFromBus(QStringLiteral("mpris-client")); }

  bool Connected() const { return bus_.isConnected(); }
  bool ServiceOnBus(const QString& name) const { return bus_.interface()->isServiceRegistered(name); }

  // A call answered while the window goes on handling its events, as it does for a real desktop.
  QDBusMessage Call(const char* interface, const char* method, const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(service_, kPath, interface, method);
    call.setArguments(args);
    return bus_.call(call, QDBus::BlockWithGui, 5000);
  }
  QVariant Get(const char* interface, const char* name) {
    const QDBusMessage reply = Call("org.freedesktop.DBus.Properties", "Get", {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().front().value<QDBusVariant>().variant();
  }
  QString Status() { return Get(kPlayer, "PlaybackStatus").toString(); }
  bool Flag(const char* name) { return Get(kPlayer, name).toBool(); }
  qlonglong Position() { return Get(kPlayer, "Position").toLongLong(); }
  QVariantMap Metadata() { return qdbus_cast<QVariantMap>(Get(kPlayer, "Metadata").value<QDBusArgument>()); }
  // Calls a player method and lets the window handle it.
  void Press(const char* method, const QVariantList& args = {}) {
    const QDBusMessage reply = Call(kPlayer, method, args);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method << ": " << reply.errorMessage().toStdString();
    QTest::qWait(50);
  }

  // The PropertiesChanged signals received, each the map of changed player properties.
  std::vector<QVariantMap> changes;
  std::vector<qlonglong> seeks;

 private slots:
  void OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
    if (interface == kPlayer) changes.push_back(changed);
  }
  void OnSeeked(qlonglong position) { seeks.push_back(position); }

 private:
  QDBusConnection bus_;
  QString service_;
};

QString Text(const QVariantMap& map, const char* key) { return map.value(key).toString(); }

// The track id of metadata received in a signal or a reply.
QString TrackId(const QVariantMap& metadata) { return metadata.value("mpris:trackid").value<QDBusObjectPath>().path(); }

class MprisTest : public testsupport::MainFormTest {
 protected:
  static void SetUpTestSuite() { server_ = new PulseServer; }
  static void TearDownTestSuite() { delete server_; }

  void SetUp() override {
    ASSERT_TRUE(server_->Running()) << server_->Why();
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    InstallLibrary(MPEGDLL_PATH);
  }
  void TearDown() override {
    if (form_ && form_->MPEGPlayer.DecoderLoaded()) form_->MPEGPlayer.UnloadDecoder();
  }

  // A real song with an ID3v1 tag.
  void AddTaggedMusic(const std::string& relative, double seconds, const std::string& title, const std::string& artist,
                      const std::string& album, std::uint32_t seed) {
    auto field = [](const std::string& text) {
      std::string bytes = text.substr(0, 30);
      bytes.resize(30, '\0');
      return bytes;
    };
    std::string tag = "TAG" + field(title) + field(artist) + field(album) + "2001" + field("") + '\x0C';
    root_.WriteFile(relative, testsupport::GeneratedMp3(seconds, {}, seed) + tag);
  }

  // The window and its bridge on the session bus, once offered there.
  desktop::MprisBridge& OpenWithBridge() {
    app::TMainForm& form = Open();
    auto* bridge = new desktop::MprisBridge(form);
    EXPECT_TRUE(Eventually([&] { return bridge->Registered(); }));
    return *bridge;
  }

  // Waits until `done` holds, letting the window and the bus work.
  static bool Eventually(const std::function<bool()>& done, int milliseconds = 3000) {
    return QTest::qWaitFor(done, milliseconds);
  }

  static PulseServer* server_;
};

PulseServer* MprisTest::server_ = nullptr;

TEST_F(MprisTest, OffersTheWindowUnderItsNameWithTheSongShown) {
  WriteIndex({{"Album", 0}});
  AddTaggedMusic("Album/1.mp3", 3.0, "Alba", "Orchestra", "Canzoni", 1);
  AddTaggedMusic("Album/2.mp3", 2.0, "Sera", "Orchestra", "Canzoni", 2);
  root_.WriteFile("Album/FRONT.JPG", testsupport::JpegPicture({40, 40}, Qt::red));
  desktop::MprisBridge& bridge = OpenWithBridge();
  ASSERT_TRUE(bridge.Registered());
  EXPECT_EQ(bridge.ServiceName(), "org.mpris.MediaPlayer2.albavox");

  MprisClient client(bridge.ServiceName());
  ASSERT_TRUE(client.Connected());
  EXPECT_TRUE(client.ServiceOnBus("org.mpris.MediaPlayer2.albavox"));
  EXPECT_EQ(client.Get(kRoot, "Identity").toString(), "Albavox");
  EXPECT_EQ(client.Get(kRoot, "DesktopEntry").toString(), "org.albavox.Albavox");
  EXPECT_TRUE(client.Get(kRoot, "CanQuit").toBool());
  EXPECT_TRUE(client.Get(kRoot, "CanRaise").toBool());
  EXPECT_FALSE(client.Get(kRoot, "HasTrackList").toBool());

  EXPECT_EQ(client.Status(), "Stopped");
  EXPECT_TRUE(client.Flag("CanPlay"));
  EXPECT_FALSE(client.Flag("CanPause"));
  EXPECT_FALSE(client.Flag("CanGoPrevious"));
  EXPECT_TRUE(client.Flag("CanGoNext"));
  EXPECT_FALSE(client.Flag("CanSeek")) << "nothing started";
  EXPECT_TRUE(client.Flag("CanControl"));
  EXPECT_EQ(client.Position(), 0);

  const QVariantMap metadata = client.Metadata();
  EXPECT_EQ(Text(metadata, "xesam:title"), "Alba");
  EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{"Orchestra"});
  EXPECT_EQ(Text(metadata, "xesam:album"), "Canzoni");
  EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 3'000'000);
  EXPECT_EQ(TrackId(metadata), "/org/albavox/track/0_0_0");
  // The cover is found whatever the letter case of its name, as the window finds it.
  EXPECT_EQ(Text(metadata, "mpris:artUrl"),
            QUrl::fromLocalFile(QString::fromStdString((root_.path() / "Album" / "FRONT.JPG").string())).toString());
  EXPECT_EQ(Text(metadata, "xesam:url"),
            QUrl::fromLocalFile(QString::fromStdString((root_.path() / "Album" / "1.mp3").string())).toString());
}

TEST_F(MprisTest, MethodsPressTheWindowsButtonsOnlyWhenEnabled) {
  WriteIndex({{"Album", 0}});
  AddTaggedMusic("Album/1.mp3", 6.0, "Alba", "Orchestra", "Canzoni", 3);
  AddTaggedMusic("Album/2.mp3", 2.0, "Sera", "Coro", "Canzoni", 4);
  desktop::MprisBridge& bridge = OpenWithBridge();
  ASSERT_TRUE(bridge.Registered());
  app::TMainForm& form = *form_;
  MprisClient client(bridge.ServiceName());

  // Disabled buttons: nothing happens.
  client.Press("Pause");
  client.Press("Stop");
  client.Press("Previous");
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed);
  EXPECT_EQ(form.SelectedSong(), 0);
  EXPECT_EQ(client.Status(), "Stopped");
  EXPECT_EQ(Boxes(), std::vector<QString>{}) << "no handler ran";

  client.Press("Play");
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPlaying);
  EXPECT_FALSE(form.ButtonPlay->isEnabled());
  EXPECT_EQ(client.Status(), "Playing");
  EXPECT_TRUE(client.Flag("CanPause"));
  EXPECT_TRUE(client.Flag("CanSeek"));
  ASSERT_TRUE(Eventually([&] {
    return !client.changes.empty() && client.changes.back().value("PlaybackStatus") == "Playing";
  })) << "the desktop is told";
  EXPECT_EQ(client.changes.back().value("CanPause"), true);
  EXPECT_FALSE(client.changes.back().contains("Metadata")) << "only what changed";
  client.Press("Play");  // play is disabled while playing: the stream is not opened again
  EXPECT_EQ(form.MPEGPlayer.PlayedXTimes(), 2);

  ASSERT_TRUE(Eventually([&] { return client.Position() >= 1'000'000; }));
  client.Press("PlayPause");
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPaused);
  EXPECT_EQ(client.Status(), "Paused");
  EXPECT_TRUE(client.Flag("CanPlay"));
  const qlonglong held = client.Position();
  EXPECT_NEAR(held, form.MPEGPlayer.GetCurrentPos() * 1000.0, 50'000);

  client.Press("PlayPause");  // resumes where it was
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPlaying);
  EXPECT_GE(client.Position(), held - 50'000);

  // Seeking goes through the position bar, in its whole seconds.
  const QString track = TrackId(client.Metadata());
  client.Press("SetPosition", {QVariant::fromValue(QDBusObjectPath("/org/albavox/track/9_9_9")), qlonglong{4'000'000}});
  EXPECT_TRUE(client.seeks.empty()) << "another track's position is ignored";
  client.Press("SetPosition", {QVariant::fromValue(QDBusObjectPath(track)), qlonglong{4'500'000}});
  ASSERT_TRUE(Eventually([&] { return !client.seeks.empty(); }));
  EXPECT_GE(client.seeks.back(), 3'900'000);
  EXPECT_LT(client.seeks.back(), 4'500'000);
  EXPECT_GE(form.PosMP3ScrollBar->value(), 4);
  client.Press("Seek", {qlonglong{-3'000'000}});
  ASSERT_TRUE(Eventually([&] { return client.seeks.size() == 2; }));
  EXPECT_LT(client.seeks.back(), 3'000'000);

  client.Press("Stop");
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed);
  EXPECT_EQ(client.Status(), "Stopped");
  EXPECT_EQ(client.Position(), 0);

  client.Press("Next");
  EXPECT_EQ(form.SelectedSong(), 1);
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed) << "next only selects, as the button does";
  EXPECT_EQ(Text(client.Metadata(), "xesam:title"), "Sera");
  ASSERT_TRUE(Eventually([&] { return !client.changes.empty() && client.changes.back().contains("Metadata"); }));
  const QVariantMap told = qdbus_cast<QVariantMap>(client.changes.back().value("Metadata").value<QDBusArgument>());
  EXPECT_EQ(Text(told, "xesam:title"), "Sera");
  EXPECT_EQ(told.value("xesam:artist").toStringList(), QStringList{"Coro"});
  EXPECT_EQ(TrackId(told), "/org/albavox/track/0_0_1");
  EXPECT_FALSE(told.contains("mpris:artUrl")) << "no front cover";
  EXPECT_FALSE(client.Flag("CanGoNext"));
  client.Press("Next");  // the last song has no next one
  EXPECT_EQ(form.SelectedSong(), 1);

  client.Press("Previous");
  EXPECT_EQ(form.SelectedSong(), 0);
  EXPECT_EQ(Text(client.Metadata(), "xesam:title"), "Alba");
  EXPECT_EQ(client.Status(), "Stopped");

  // Seeking past the end goes on to the next song, which waits for play as after the button.
  client.Press("Play");
  ASSERT_EQ(client.Status(), "Playing");
  client.Press("Seek", {qlonglong{60'000'000}});
  EXPECT_EQ(form.SelectedSong(), 1);
  EXPECT_EQ(client.Status(), "Stopped");
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kClosed);
}

TEST_F(MprisTest, ASongTheAnalysisRejectsCannotBePlayed) {
  WriteIndex({{"Album", 0}});
  root_.WriteFile("Album/broken.mp3", std::string(4000, 'x'));
  desktop::MprisBridge& bridge = OpenWithBridge();
  ASSERT_TRUE(bridge.Registered());
  MprisClient client(bridge.ServiceName());
  EXPECT_FALSE(client.Flag("CanPlay"));
  client.Press("Play");
  client.Press("PlayPause");
  EXPECT_EQ(form_->MPEGPlayer.Mode(), player::PlayerMode::kClosed);
  const QVariantMap metadata = client.Metadata();
  EXPECT_EQ(Text(metadata, "xesam:title"), "broken.mp3") << "named by its file";
  EXPECT_FALSE(metadata.contains("mpris:length"));
}

TEST_F(MprisTest, RaiseShowsAndQuitClosesTheWindowAndASecondPlayerGetsANameOfItsOwn) {
  WriteIndex({{"Album", 0}});
  AddTaggedMusic("Album/1.mp3", 2.0, "Alba", "Orchestra", "Canzoni", 5);
  desktop::MprisBridge& bridge = OpenWithBridge();
  ASSERT_TRUE(bridge.Registered());

  // Another Albavox already holds the plain name.
  {
    desktop::MprisBridge second(*form_, qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
    EXPECT_TRUE(Eventually([&] { return second.Registered(); }));
    EXPECT_EQ(second.ServiceName(),
              QString("org.mpris.MediaPlayer2.albavox.instance%1").arg(QCoreApplication::applicationPid()));
  }

  MprisClient client(bridge.ServiceName());
  form_->hide();
  EXPECT_EQ(client.Call(kRoot, "Raise").type(), QDBusMessage::ReplyMessage);
  EXPECT_TRUE(Eventually([&] { return form_->isVisible(); })) << "raised";
  const QDBusMessage reply = client.Call(kRoot, "Quit");
  EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage);
  EXPECT_TRUE(Eventually([&] { return !form_->isVisible(); }));
  form_.reset();
  EXPECT_TRUE(Eventually([&] { return !client.ServiceOnBus("org.mpris.MediaPlayer2.albavox"); }))
      << "the name goes with the window";
}

// The extremes of the 64-bit offsets and positions a client may send.
TEST_F(MprisTest, SeekAndSetPositionTakeAnyOffset) {
  WriteIndex({{"Album", 0}});
  AddTaggedMusic("Album/1.mp3", 6.0, "Alba", "Orchestra", "Canzoni", 6);
  AddTaggedMusic("Album/2.mp3", 2.0, "Sera", "Coro", "Canzoni", 7);
  MprisClient client(OpenWithBridge().ServiceName());
  constexpr qlonglong kMin = std::numeric_limits<qlonglong>::min(), kMax = std::numeric_limits<qlonglong>::max();
  struct Case {
    const char* method;
    qlonglong value;
    int song;           // selected afterwards: past the end of a song is its next one
    std::size_t seeks;  // Seeked signals
  };
  for (const Case& c : std::vector<Case>{
           {"Seek", kMin, 0, 1}, {"Seek", kMax, 1, 0}, {"SetPosition", kMax, 0, 0}, {"SetPosition", kMin, 0, 0}}) {
    SCOPED_TRACE(std::string(c.method) + " " + std::to_string(c.value));
    if (form_->SelectedSong() != 0) client.Press("Previous");
    client.Press("Play");
    ASSERT_TRUE(Eventually([&] { return client.Position() >= 1'200'000; }));
    client.seeks.clear();
    const QVariant track = QVariant::fromValue(QDBusObjectPath(TrackId(client.Metadata())));
    client.Press(c.method, c.method == std::string("Seek") ? QVariantList{c.value} : QVariantList{track, c.value});
    QTest::qWait(50);
    EXPECT_EQ(form_->SelectedSong(), c.song);
    EXPECT_EQ(client.seeks.size(), c.seeks);
    EXPECT_EQ(client.Status(), c.song == 0 ? "Playing" : "Stopped");
    EXPECT_TRUE(c.seeks == 0 || client.Position() < 1'000'000) << "back to the start";
  }
}

// The sound server goes away while a song plays and a desktop widget keeps asking for the
// position: the window shows the failure once, stops without going on, and plays again once the
// server is back.
TEST_F(MprisTest, OutputLostWhilePlayingIsToldOnceAndPlayWorksWhenItIsBack) {
  WriteIndex({{"Album", 0}});
  AddTaggedMusic("Album/1.mp3", 6.0, "Alba", "Orchestra", "Canzoni", 8);
  AddTaggedMusic("Album/2.mp3", 2.0, "Sera", "Coro", "Canzoni", 9);
  MprisClient client(OpenWithBridge().ServiceName());
  app::TMainForm& form = *form_;
  Click(form.ContCheckBox);
  client.Press("Play");
  ASSERT_TRUE(Eventually([&] { return client.Position() >= 300'000; }));
  ASSERT_TRUE(server_->Pactl("exit"));
  EXPECT_TRUE(Eventually([&] { return client.Position() >= 0 && client.Status() == "Stopped"; }, 5000));
  QTest::qWait(1500);  // a position tick or two more
  EXPECT_EQ(Boxes(), std::vector<QString>{"Albavox v2.0|Output device failure."});
  EXPECT_EQ(form.SelectedSong(), 0) << "\"Continua\" does not go on into a dead output";
  EXPECT_TRUE(form.ButtonPlay->isEnabled() && !form.ButtonStop->isEnabled());

  delete server_;
  server_ = new PulseServer;
  client.Press("Play");
  EXPECT_EQ(client.Status(), "Playing");
  EXPECT_EQ(form.MPEGPlayer.Mode(), player::PlayerMode::kPlaying);
  EXPECT_EQ(Boxes().size(), 1u);
}

class SilentBusTest : public testsupport::MainFormTest {};

TEST_F(SilentBusTest, NeitherTheWindowsStartNorItsEndWaitsForTheBus) {
  QLocalServer bus;  // takes the connection and never says a word
  ASSERT_TRUE(bus.listen(QString::fromStdString(root_.str()) + "/bus"));
  qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + bus.fullServerName().toUtf8());
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/1.mp3", 61, testsupport::TitleTag("Alba"));
  AddSong("Album/2.mp3", 61, testsupport::TitleTag("Sera"));
  app::TMainForm& form = Open();
  auto* bridge = new desktop::MprisBridge(form);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bus.hasPendingConnections(); }, 5000));
  Click(form.ButtonNext);  // the window goes on while the bus is silent
  EXPECT_EQ(form.MP3TitleEdit->text(), "Sera");
  EXPECT_FALSE(bridge->Registered());
  EXPECT_EXIT(std::exit(desktop::ProgramEnd(3) + 1), testing::ExitedWithCode(3), "") << "the end waits for the bus";
  form_.reset();  // the bridge goes with the window
}

// Run where no session bus can be reached: nothing is offered, quietly, and the window works.
class NoSessionBusTest : public testsupport::MainFormTest {};

TEST_F(NoSessionBusTest, NothingIsOfferedAndTheWindowIsUnaffected) {
  ASSERT_FALSE(QDBusConnection::sessionBus().isConnected()) << "run with DBUS_SESSION_BUS_ADDRESS naming no bus";
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/1.mp3", 61, testsupport::TitleTag("Alba"));
  app::TMainForm& form = Open();
  desktop::MprisBridge bridge(form);
  ASSERT_TRUE(QTest::qWaitFor([] { return !desktop::MprisBridge::Connecting(); }));
  QTest::qWait(20);
  EXPECT_FALSE(bridge.Registered());
  EXPECT_EQ(bridge.ServiceName(), "");
  EXPECT_EQ(form.MP3TitleEdit->text(), "Alba");
  EXPECT_TRUE(form.ButtonPlay->isEnabled());
  EXPECT_EQ(Boxes(), std::vector<QString>{}) << "no message about the missing bus";
}

}  // namespace

#include "mpris_test.moc"
