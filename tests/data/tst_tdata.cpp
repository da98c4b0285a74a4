// The data module on a real database: the same cases on SQLite and on PostgreSQL.

#include "DateTimeValue.h"
#include "Failure.h"
#include "TData.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QUrl>

#include <QtTest/QtTest>
#include <cstdio>
#include <unistd.h>

Q_DECLARE_METATYPE(TestSupport::ZeitenRow)

using TestSupport::failureOf;
using TestSupport::TestDatabase;
using TestSupport::ZeitenRow;

namespace {

// 08:02 on 11.12.2025: the day's number plus 8 h 2 min as a fraction of a day.
const double day = 46002;
const double at0802 = day + (8 * 60 + 2) / 1440.0;

// A data module opened on the database through an INI beside a fake executable.
struct OpenData
{
    explicit OpenData(TestDatabase &db, const QByteArray &password)
        : data(TestSupport::writeIni(db.directory(), db.main(), password), [this] { ++ends; })
    {
    }
    explicit OpenData(TestDatabase &db)
        : OpenData(db, db.password())
    {
    }

    int ends = 0;
    TData data;
};

// The arrival of the clock: MAid, Anwesend, Zeitkommt, KorrekturKommt, Bemerkung.
QVariantList arrival(int maid, double zeitkommt, const QString &remark)
{
    return {maid, true, zeitkommt, -2, remark};
}

} // namespace

class TestTData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZE_INIT_ENGINE(); }

    void recordCount_data();
    void recordCount();
    void readsColumns_data();
    void readsColumns();
    void unknownColumn();
    void openSelectReplacesOpenResult();
    void damagedRowsFailTheSelect();

    void insertZeiten_data();
    void insertZeiten();
    void refusedRowStoresNothing();
    void readOnlyDataset();
    void fieldBinding_data();
    void fieldBinding();

    void executeStatement_data();
    void executeStatement();
    void refusedStatementChangesNothing();
    void textWithNulRefused_data();
    void textWithNulRefused();

    void notConnected_data();
    void notConnected();
    void emptyPath();
    void opening_data();
    void opening();
    void password_data();
    void password();
    void awkwardPassword();

    void missingDriver();
    void twoProcessesInsert();
    void openSelectDoesNotBlockWriters();
    void lockHeldByAnotherWriter();
};

void TestTData::recordCount_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("no rows") << 0;
    QTest::newRow("one row") << 1;
    QTest::newRow("many rows") << 37;
}

void TestTData::recordCount()
{
    QFETCH(int, rows);
    TestDatabase db;
    for (int i = 0; i < rows; ++i)
        db.addZeiten({0, 5, false, day + i, day + i + 0.3});
    db.addZeiten({0, 6, true, day + 100}); // another employee's record is not counted
    OpenData open(db);
    open.data.DataModuleCreate();

    open.data.OpenSelect(
        QStringLiteral("select * from zeiten where maid=5 order by zeitkommt desc"));
    QCOMPARE(open.data.RecordCount(), rows);
    QCOMPARE(open.data.RecordCount(), rows);
    // Counting leaves the first row current: the newest record.
    QCOMPARE(open.data.FieldAsDateTime(QStringLiteral("zeitkommt")), rows ? day + rows - 1 : 0.0);
}

void TestTData::readsColumns_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("expected");

    const QString full = QStringLiteral("select * from zeiten where maid=7");
    const QString empty = QStringLiteral("select * from zeiten where maid=8");
    QTest::newRow("integer named in lower case") << full << "maid" << QVariant(7);
    QTest::newRow("integer named in capitals") << full << "KORREKTURKOMMT" << QVariant(-2);
    QTest::newRow("boolean") << full << "anwesend" << QVariant(true);
    QTest::newRow("text") << full << "BeMeRkUnG" << QVariant(QStringLiteral("Arzt"));
    QTest::newRow("date-time to the millisecond")
        << full << "zeitkommt" << QVariant(DateTimeValue::toDateTime(at0802).addMSecs(123));
    QTest::newRow("date-time from a statement's 15 digits")
        << full << "zeitgeht" << QVariant(QDateTime(QDate(2025, 12, 11), QTime(16, 30)));
    QTest::newRow("NULL integer reads 0") << empty << "korrekturgeht" << QVariant(0);
    QTest::newRow("NULL text reads empty") << empty << "bemerkung2" << QVariant(QString());
    QTest::newRow("NULL date-time reads 30.12.1899 00:00") << empty << "zeitgeht" << QVariant(0.0);
    QTest::newRow("NULL boolean reads false") << QStringLiteral(
        "select case when 1=0 then anwesend end as offen from zeiten where maid=8")
                                              << "offen" << QVariant(false);
    QTest::newRow("empty result reads NULL")
        << QStringLiteral("select * from zeiten where maid=9") << "maid" << QVariant(0);
}

void TestTData::readsColumns()
{
    QFETCH(QString, statement);
    QFETCH(QString, name);
    QFETCH(QVariant, expected);

    TestDatabase db;
    // Stored a little off the millisecond, as values written by other programs may be.
    const double zeitkommt = at0802 + 123.4 / DateTimeValue::msPerDay;
    // 16:30 a microsecond late, as a departure written with 15 digits may be.
    db.addZeiten({0, 7, true, zeitkommt, day + 0.6875 + 1e-11, QStringLiteral("Arzt"), -2});
    db.addZeiten({0, 8});
    OpenData open(db);
    open.data.DataModuleCreate();
    open.data.OpenSelect(statement);

    switch (expected.typeId()) {
    case QMetaType::Int:
        QCOMPARE(open.data.FieldAsInteger(name), expected.toInt());
        break;
    case QMetaType::Bool:
        QCOMPARE(open.data.FieldAsBoolean(name), expected.toBool());
        break;
    case QMetaType::QString:
        QCOMPARE(open.data.FieldAsString(name), expected.toString());
        break;
    case QMetaType::QDateTime:
        QCOMPARE(DateTimeValue::toDateTime(open.data.FieldAsDateTime(name)), expected.toDateTime());
        break;
    default:
        QCOMPARE(open.data.FieldAsDateTime(name), expected.toDouble());
    }
}

void TestTData::unknownColumn()
{
    TestDatabase db;
    db.addZeiten({0, 7, true, at0802});
    OpenData open(db);
    open.data.DataModuleCreate();

    open.data.OpenSelect(QStringLiteral("select id, maid from zeiten"));
    QCOMPARE(failureOf([&] { open.data.FieldAsString(QStringLiteral("Zeitkommt")); }),
             QStringLiteral("query: Das Feld 'Zeitkommt' wurde nicht gefunden"));
    // Closing drops the fields.
    open.data.CloseSelect();
    QCOMPARE(failureOf([&] { open.data.FieldAsInteger(QStringLiteral("Id")); }),
             QStringLiteral("query: Das Feld 'Id' wurde nicht gefunden"));
    open.data.CloseSelect(); // closing a closed query does nothing
}

void TestTData::openSelectReplacesOpenResult()
{
    TestDatabase db;
    const int anna
        = db.addEmployee(QStringLiteral("anna"), QStringLiteral("Anna"), QStringLiteral("Berg"));
    for (int i = 0; i < 3; ++i)
        db.addZeiten({0, anna, false, day + i});
    OpenData open(db);
    open.data.DataModuleCreate();

    open.data.OpenSelect(QStringLiteral("select * from zeiten"));
    QCOMPARE(open.data.RecordCount(), 3);
    open.data.OpenSelect(
        QStringLiteral("select vorname,nachname,id from mitarbeiter where logon=?"),
        {QStringLiteral("anna")});
    QCOMPARE(open.data.RecordCount(), 1);
    QCOMPARE(open.data.FieldAsInteger(QStringLiteral("id")), anna);
    QCOMPARE(open.data.FieldAsString(QStringLiteral("Vorname")), QStringLiteral("Anna"));

    // A refused select leaves the query closed, without the earlier result.
    const QString refusal
        = failureOf([&] { open.data.OpenSelect(QStringLiteral("select * from gibtsnicht")); });
    QVERIFY2(refusal.contains(QLatin1String("gibtsnicht")), qPrintable(refusal));
    // The engine's words alone: no statement excerpt, no error code added by the driver.
    QVERIFY2(!refusal.contains(QLatin1Char('\n')) && !refusal.endsWith(QLatin1Char('.'))
                 && !refusal.endsWith(QLatin1Char(')')),
             qPrintable(refusal));
    QCOMPARE(open.data.RecordCount(), 0);
    QCOMPARE(failureOf([&] { open.data.FieldAsInteger(QStringLiteral("id")); }),
             QStringLiteral("query: Das Feld 'id' wurde nicht gefunden"));
}

void TestTData::damagedRowsFailTheSelect()
{
    if (TestSupport::engine() != Database::Engine::SQLite)
        QSKIP("A damaged page is an SQLite file's matter");
    TestDatabase db;
    for (int i = 0; i < 400; ++i)
        db.addZeiten({0, 7, false, day + i, {}, QString(50, QLatin1Char('r'))});
    int page = 0;
    int pageSize = 0;
    {
        QSqlQuery query(db.connection());
        QVERIFY(query.exec(QStringLiteral("select max(pageno) from dbstat "
                                          "where name='Zeiten' and pagetype='leaf'"))
                && query.next());
        page = query.value(0).toInt();
        QVERIFY(query.exec(QStringLiteral("PRAGMA page_size")) && query.next());
        pageSize = query.value(0).toInt();
    }
    db.connection().close();
    // The rows of the first pages can be read, those of a later page cannot.
    QFile file(QString::fromUtf8(db.main()));
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(qint64(page - 1) * pageSize));
    file.write(QByteArray(pageSize, '\xff'));
    file.close();

    OpenData open(db);
    open.data.DataModuleCreate();
    const QString failure = failureOf([&] {
        open.data.OpenSelect(QStringLiteral("select * from zeiten"));
        open.data.RecordCount();
    });
    QCOMPARE(failure, QStringLiteral("database disk image is malformed"));
    QCOMPARE(open.data.RecordCount(), 0);
}

void TestTData::insertZeiten_data()
{
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QVariant>("stored");

    const QString fifty = QString(50, QLatin1Char('x'));
    QTest::newRow("short remark") << QStringLiteral("Zahnarzt")
                                  << QVariant(QStringLiteral("Zahnarzt"));
    QTest::newRow("50 characters kept") << fifty << QVariant(fifty);
    QTest::newRow("60 characters cut to 50")
        << fifty + QStringLiteral("0123456789") << QVariant(fifty);
    QTest::newRow("empty remark stored as NULL") << QString() << QVariant();
    const QString umlauts = QString(48, QChar(0x00FC)) + QStringLiteral("ßä!");
    QTest::newRow("umlauts count as one character each") << umlauts << QVariant(umlauts.left(50));
    // U+1F600 is two UTF-16 units but one character.
    const QString smiley = QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("character outside the BMP at the cut") << QString(49, QLatin1Char('a')) + smiley
            + QStringLiteral("b") << QVariant(QString(49, QLatin1Char('a')) + smiley);
    QTest::newRow("NUL beyond the cut goes with the cut")
        << fifty + QChar(0) + QStringLiteral("x") << QVariant(fifty);
}

void TestTData::insertZeiten()
{
    QFETCH(QString, remark);
    QFETCH(QVariant, stored);

    TestDatabase db;
    const ZeitenRow before {0, 3, true, day - 1};
    const int previous = db.addZeiten(before);
    OpenData open(db);
    open.data.DataModuleCreate();

    open.data.InsertZeiten(arrival(7, at0802, remark));

    const QList<ZeitenRow> rows = db.zeiten();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0), (ZeitenRow {previous, 3, true, day - 1}));
    // Zeitgeht, Korrekturgeht, typgeht and Bemerkung2 were not sent: NULL.
    ZeitenRow expected {previous + 1, 7, true, {}, {}, stored, -2};
    QCOMPARE(DateTimeValue::toDateTime(rows.at(1).zeitkommt.toDouble()),
             QDateTime(QDate(2025, 12, 11), QTime(8, 2)));
    expected.zeitkommt = rows.at(1).zeitkommt;
    QCOMPARE(rows.at(1), expected);
}

void TestTData::refusedRowStoresNothing()
{
    TestDatabase db;
    db.addZeiten({0, 3, true, day});
    const QList<ZeitenRow> before = db.zeiten();
    OpenData open(db);
    open.data.DataModuleCreate();

    // Anwesend is a yes/no column: it takes no NULL, the engine refuses the row.
    const QString refusal = failureOf([&] {
        open.data.InsertZeiten({7, QVariant(), at0802, 0, QStringLiteral("x")});
    });
    QVERIFY2(refusal.contains(QLatin1String("nwesend"), Qt::CaseInsensitive), qPrintable(refusal));
    QVERIFY(!refusal.endsWith(QLatin1Char('.')));
    QCOMPARE(db.zeiten(), before);

    // The module goes on working after a refusal.
    open.data.InsertZeiten(arrival(7, at0802, QStringLiteral("Arzt")));
    QCOMPARE(db.zeiten().size(), 2);
}

void TestTData::readOnlyDataset()
{
    TestDatabase db;
    QByteArray main = db.main();
    QByteArray password = db.password();
    QString role;
    if (db.engine() == Database::Engine::PostgreSQL) {
        // A role that may read Zeiten but not add to it.
        role = QStringLiteral("ze_leser_%1")
                   .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        password = "lesen";
        db.execute(QStringLiteral("create role %1 login password 'lesen'").arg(role));
        db.execute(QStringLiteral("grant select on zeiten to %1").arg(role));
        QUrl url(QString::fromUtf8(main));
        url.setUserName(role);
        main = url.toEncoded();
    } else {
        if (geteuid() == 0)
            QSKIP("root may write to a read-only file");
        QVERIFY(QFile::setPermissions(QString::fromUtf8(main),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    {
        TData data(TestSupport::writeIni(db.directory(), main, password), [] {});
        data.DataModuleCreate();
        QCOMPARE(failureOf([&] { data.InsertZeiten(arrival(7, at0802, QString())); }),
                 QStringLiteral("Zeiten: Eine Datenmenge, die nur zum Lesen ist, kann nicht "
                                "geändert werden"));
        data.OpenSelect(QStringLiteral("select * from zeiten"));
        QCOMPARE(data.RecordCount(), 0);
    }
    if (!role.isEmpty()) {
        db.execute(QStringLiteral("drop owned by %1").arg(role));
        db.execute(QStringLiteral("drop role %1").arg(role));
    }
}

void TestTData::fieldBinding_data()
{
    QTest::addColumn<QStringList>("alterations");
    QTest::addColumn<QString>("message");

    QTest::newRow("column missing")
        << QStringList {QStringLiteral("alter table zeiten drop column typgeht")}
        << QStringLiteral("Zeiten: Das Feld 'typgeht' wurde nicht gefunden");
    QTest::newRow("column of another kind")
        << QStringList {QStringLiteral("alter table zeiten drop column korrekturkommt"),
                        QStringLiteral("alter table zeiten add column korrekturkommt varchar(20)")}
        << QStringLiteral("Zeiten: Unterschiedliche Typen für Feld 'KorrekturKommt'; erwartet: "
                          "Integer, gefunden: String");
}

void TestTData::fieldBinding()
{
    QFETCH(QStringList, alterations);
    QFETCH(QString, message);

    TestDatabase db;
    for (const QString &statement : alterations)
        db.execute(statement);
    OpenData open(db);
    open.data.DataModuleCreate();

    QCOMPARE(failureOf([&] { open.data.InsertZeiten(arrival(7, at0802, QString())); }), message);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from zeiten")).toInt(), 0);
}

void TestTData::executeStatement_data()
{
    QTest::addColumn<QString>("statement"); // %1: the open record's ID
    QTest::addColumn<QVariantList>("bindings");
    QTest::addColumn<int>("affected");
    QTest::addColumn<ZeitenRow>("after"); // the open record afterwards; ID and MAid filled in

    const ZeitenRow open {0, 0, true, at0802, {}, QStringLiteral("Kommt")};
    ZeitenRow closed = open;
    closed.anwesend = false;
    closed.zeitgeht = day + 0.6875;
    closed.korrekturgeht = -2;

    const QString departure = QStringLiteral(
        "update zeiten set anwesend=false, zeitgeht=46002.6875, bemerkung2=?,korrekturgeht=-2 "
        "where id=%1");
    closed.bemerkung2 = QStringLiteral("Arzt");
    QTest::newRow("departure closes the open record")
        << departure << QVariantList {QStringLiteral("Arzt")} << 1 << closed;
    const QString hostile = QStringLiteral("O'Brien'); delete from zeiten; --");
    closed.bemerkung2 = hostile;
    QTest::newRow("bound remark stored exactly as typed")
        << departure << QVariantList {hostile} << 1 << closed;
    closed.bemerkung2 = QStringLiteral("Termin: Arzt");
    QTest::newRow("colon in a statement without bindings")
        << QStringLiteral("update zeiten set anwesend=false, zeitgeht=46002.6875, "
                          "bemerkung2='Termin: Arzt',korrekturgeht=-2 where id=%1")
        << QVariantList() << 1 << closed;
    QTest::newRow("no matching record")
        << QStringLiteral("update zeiten set anwesend=false where id=%1+1000") << QVariantList()
        << 0 << open;
}

void TestTData::executeStatement()
{
    QFETCH(QString, statement);
    QFETCH(QVariantList, bindings);
    QFETCH(int, affected);
    QFETCH(ZeitenRow, after);

    TestDatabase db;
    const ZeitenRow other {0, 4, true, at0802, {}, QStringLiteral("Kollege")};
    const int otherId = db.addZeiten(other);
    const int openId = db.addZeiten({0, 7, true, at0802, {}, QStringLiteral("Kommt")});
    OpenData open(db);
    open.data.DataModuleCreate();
    open.data.OpenSelect(QStringLiteral("select * from zeiten")); // closed by ExecuteStatement

    QCOMPARE(open.data.ExecuteStatement(statement.arg(openId), bindings), affected);

    QCOMPARE(open.data.RecordCount(), 0);
    after.id = openId;
    after.maid = 7;
    ZeitenRow expectedOther = other;
    expectedOther.id = otherId;
    const QList<ZeitenRow> rows = db.zeiten();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0), expectedOther);
    if (after.zeitgeht.isValid()) // written as 15 digits: compare to the millisecond
        QCOMPARE(DateTimeValue::toDateTime(rows.at(1).zeitgeht.toDouble()),
                 DateTimeValue::toDateTime(after.zeitgeht.toDouble()));
    after.zeitgeht = rows.at(1).zeitgeht;
    QCOMPARE(rows.at(1), after);
}

void TestTData::refusedStatementChangesNothing()
{
    TestDatabase db;
    db.addZeiten({0, 7, true, day});
    db.addZeiten({0, 7, true, day + 1});
    const QList<ZeitenRow> before = db.zeiten();
    OpenData open(db);
    open.data.DataModuleCreate();

    // Both rows match; the remark is too long for the column, so neither may change.
    const QString refusal = failureOf([&] {
        open.data.ExecuteStatement(QStringLiteral("update zeiten set anwesend=false, bemerkung2=? "
                                                  "where maid=7"),
                                   {QString(51, QLatin1Char('x'))});
    });
    QVERIFY(refusal != QLatin1String("(no failure)"));
    QVERIFY(!refusal.endsWith(QLatin1Char('.')));
    QCOMPARE(db.zeiten(), before);
}

void TestTData::textWithNulRefused_data()
{
    QTest::addColumn<int>("operation");
    QTest::newRow("OpenSelect binding") << 0;
    QTest::newRow("ExecuteStatement binding") << 1;
    QTest::newRow("InsertZeiten remark") << 2;
}

void TestTData::textWithNulRefused()
{
    QFETCH(int, operation);

    TestDatabase db;
    const int openId = db.addZeiten({0, 7, true, at0802});
    const QList<ZeitenRow> before = db.zeiten();
    OpenData open(db);
    open.data.DataModuleCreate();

    // PostgreSQL would answer with a syntax error about the statement cut short at the NUL,
    // SQLite would store the text: both refuse it in the same words.
    const QString nul = QStringLiteral("vor") + QChar(0) + QStringLiteral("nach");
    const std::function<void()> operations[] = {
        [&] {
            open.data.OpenSelect(QStringLiteral("select * from zeiten where bemerkung=?"), {nul});
        },
        [&] {
            open.data.ExecuteStatement(
                QStringLiteral("update zeiten set anwesend=false, bemerkung2=? where id=%1")
                    .arg(openId),
                {nul});
        },
        [&] { open.data.InsertZeiten(arrival(7, at0802, nul)); },
    };
    QCOMPARE(failureOf(operations[operation]),
             QStringLiteral("Ein Text enthält das Zeichen NUL (#0); die Datenbank nimmt ihn "
                            "nicht an"));
    QCOMPARE(db.zeiten(), before);

    // Nothing half-done is left behind: the module goes on working.
    open.data.InsertZeiten(arrival(7, at0802, QStringLiteral("vor")));
    QCOMPARE(db.zeiten().size(), 2);
}

void TestTData::notConnected_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("message");
    const QString recordset
        = QStringLiteral("TKADaoTable.OpenDaoRecordset: Database is NOT connected");
    QTest::newRow("OpenSelect") << 0 << recordset;
    QTest::newRow("InsertZeiten") << 1 << recordset;
    QTest::newRow("ExecuteStatement")
        << 2
        << QStringLiteral("TKADaoTable.ExecuteSQL: Cannot execute SQL query while Database is not "
                          "Assigned or Connected!");
}

void TestTData::notConnected()
{
    QFETCH(int, operation);
    QFETCH(QString, message);

    // Path "*": no database configured. The end request is made once and nothing opened.
    TestDatabase db;
    int ends = 0;
    TData data(TestSupport::writeIni(db.directory(), "*", db.password()), [&] { ++ends; });
    data.DataModuleCreate();
    QCOMPARE(ends, 1);
    QVERIFY(!data.connected());

    const std::function<void()> operations[] = {
        [&] { data.OpenSelect(QStringLiteral("select * from zeiten")); },
        [&] { data.InsertZeiten(arrival(7, at0802, QString())); },
        [&] { data.ExecuteStatement(QStringLiteral("delete from zeiten")); },
    };
    QCOMPARE(failureOf(operations[operation]), message);
    QCOMPARE(data.RecordCount(), 0);
}

void TestTData::emptyPath()
{
    TestDatabase db;
    TData data(TestSupport::writeIni(db.directory(), "", db.password()), [] {});
    QCOMPARE(failureOf([&] { data.DataModuleCreate(); }),
             QStringLiteral("TKADaoDatabase.F_Set_Active: Database property is not defined!"));
    QVERIFY(!data.connected());
    QCOMPARE(failureOf([&] { data.OpenSelect(QStringLiteral("select * from zeiten")); }),
             QStringLiteral("TKADaoTable.OpenDaoRecordset: Database is NOT connected"));
}

void TestTData::opening_data()
{
    // main: the configured path, "{dir}" standing for the test database's directory and
    // "{server}" for the PostgreSQL server's host and port.
    QTest::addColumn<QString>("main");
    QTest::addColumn<QString>("message"); // empty: opens; "{dir}" as above, "{name}" its name

    if (TestSupport::engine() == Database::Engine::SQLite) {
        QTest::newRow("file at its path") << "{dir}/zeiterfassung.db" << QString();
        QTest::newRow("missing file found in the program's directory")
            << "/nonexistent/elsewhere/zeiterfassung.db" << QString();
        QTest::newRow("missing Windows path found in the program's directory")
            << "X:\\zeit\\zeiterfassung.db" << QString();
        QTest::newRow("missing drive-relative Windows path found in the program's directory")
            << "X:zeiterfassung.db" << QString();
        QTest::newRow("missing file nowhere")
            << "/nonexistent/elsewhere/fehlt.db"
            << QStringLiteral("Cannot find Database:\r\n{dir}/fehlt.db");
        QTest::newRow("a directory is no database file")
            << "{dir}" << QStringLiteral("Cannot find Database:\r\n{dir}/{name}");
        QTest::newRow("not a database")
            << "{dir}/kein.db" << QStringLiteral("file is not a database");
        QTest::newRow("blanks, umlauts and URI characters in the name")
            << QString::fromUtf8("{dir}/Zeit & Co #1?m\xC3\xA4rz=%25.db") << QString();
    } else {
        QTest::newRow("server database") << QString() << QString();
        QTest::newRow("database that does not exist")
            << "postgresql://zetest@{server}/gibtsnicht"
            << QStringLiteral("database \"gibtsnicht\" does not exist");
    }
}

void TestTData::opening()
{
    QFETCH(QString, main);
    QFETCH(QString, message);

    TestDatabase db;
    const QString dir = db.directory();
    QFile notADatabase(dir + QStringLiteral("/kein.db"));
    QVERIFY(notADatabase.open(QIODevice::WriteOnly));
    notADatabase.write(QByteArray(4096, 'z'));
    notADatabase.close();
    if (db.engine() == Database::Engine::SQLite)
        QVERIFY(QFile::copy(QString::fromUtf8(db.main()),
                            dir + QString::fromUtf8("/Zeit & Co #1?m\xC3\xA4rz=%25.db")));

    const QUrl url(QString::fromUtf8(db.main()));
    const QString server = QStringLiteral("%1:%2").arg(url.host()).arg(url.port());
    QString path = main.isEmpty() ? QString::fromUtf8(db.main())
                                  : QString(main)
                                        .replace(QLatin1String("{dir}"), dir)
                                        .replace(QLatin1String("{server}"), server);
    TData data(TestSupport::writeIni(dir, path.toUtf8(), db.password()), [] {});
    const QString failure = failureOf([&] { data.DataModuleCreate(); });
    if (message.isEmpty()) {
        QCOMPARE(failure, QStringLiteral("(no failure)"));
        QVERIFY(data.connected());
        data.OpenSelect(QStringLiteral("select count(*) as n from zeiten"));
        QCOMPARE(data.FieldAsInteger(QStringLiteral("n")), 0);
    } else {
        const QString expected = QString(message)
                                     .replace(QLatin1String("{dir}"), dir)
                                     .replace(QLatin1String("{name}"), QDir(dir).dirName());
        QVERIFY2(failure == expected || (failure.contains(expected) && !failure.endsWith('.')),
                 qPrintable(failure));
        QVERIFY(!data.connected());
        QVERIFY(!QFile::exists(dir + QStringLiteral("/fehlt.db"))); // never created
        QVERIFY(!QFile::exists(QStringLiteral("/nonexistent")));
    }
}

void TestTData::password_data()
{
    QTest::addColumn<QByteArray>("protection"); // SQLite: the password kept in the file
    QTest::addColumn<bool>("right"); // configure the right password, or another
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<QString>("refusal");

    const bool sqlite = TestSupport::engine() == Database::Engine::SQLite;
    const QString wrong = sqlite
        ? QStringLiteral("Not a valid password")
        : QStringLiteral("password authentication failed for user \"zetest\"");
    QTest::newRow("right password") << QByteArray("Geheim!1") << true << QByteArray() << QString();
    QTest::newRow("wrong password")
        << QByteArray("Geheim!1") << false << QByteArray("geheim!1") << wrong;
    QTest::newRow("no password") << QByteArray("Geheim!1") << false << QByteArray()
                                 << (sqlite ? wrong : QStringLiteral("no password supplied"));
    if (sqlite)
        QTest::newRow("unprotected file opens with any password")
            << QByteArray() << false << QByteArray("irgendwas") << QString();
}

void TestTData::password()
{
    QFETCH(QByteArray, protection);
    QFETCH(bool, right);
    QFETCH(QByteArray, other);
    QFETCH(QString, refusal);

    TestDatabase db(protection);
    db.addZeiten({0, 7, true, day});
    OpenData open(db, right ? db.password() : other);
    const QString failure = failureOf([&] { open.data.DataModuleCreate(); });
    if (refusal.isEmpty()) {
        QCOMPARE(failure, QStringLiteral("(no failure)"));
        open.data.OpenSelect(QStringLiteral("select * from zeiten"));
        QCOMPARE(open.data.RecordCount(), 1);
    } else {
        QVERIFY2(failure == refusal || (failure.contains(refusal) && !failure.endsWith('.')),
                 qPrintable(failure));
        QVERIFY(!open.data.connected());
    }
}

void TestTData::awkwardPassword()
{
    // Blanks, quotes, a backslash, a semicolon and an equals sign: nothing in it may end the
    // password early or add a setting to the connection.
    const QByteArray awkward("a b'c\"d\\e;f=g ");
    TestDatabase db(awkward);
    QByteArray main = db.main();
    QString role;
    if (db.engine() == Database::Engine::PostgreSQL) {
        role = QStringLiteral("ze_kennwort_%1")
                   .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        QString literal = QString::fromLatin1(awkward);
        literal.replace(QLatin1Char('\''), QLatin1String("''"));
        db.execute(QStringLiteral("create role %1 login password '%2'").arg(role, literal));
        QUrl url(QString::fromUtf8(main));
        url.setUserName(role);
        main = url.toEncoded();
    }
    for (const QByteArray &password : {awkward, awkward.trimmed(), awkward.left(6)}) {
        TData data(TestSupport::writeIni(db.directory(), main, password), [] {});
        const QString failure = failureOf([&] { data.DataModuleCreate(); });
        QVERIFY2(data.connected() == (password == awkward), qPrintable(failure));
    }
    if (!role.isEmpty())
        db.execute(QStringLiteral("drop role %1").arg(role));
}

void TestTData::missingDriver()
{
    TestDatabase db;
    const QString exe = TestSupport::writeIni(db.directory(), db.main(), db.password());
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--without-drivers"), exe, db.directory()});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QString driver = db.engine() == Database::Engine::SQLite
        ? QStringLiteral("QSQLITE is not installed (package libqt6sql6-sqlite)")
        : QStringLiteral("QPSQL is not installed (package libqt6sql6-psql)");
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
             QStringLiteral("The Qt SQL driver ") + driver);
}

void TestTData::twoProcessesInsert()
{
    TestDatabase db;
    const QString exe = TestSupport::writeIni(db.directory(), db.main(), db.password());
    const int each = 40;
    QProcess first, second;
    for (QProcess *process : {&first, &second}) {
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--insert"), exe, QString::number(each)});
    }
    for (QProcess *process : {&first, &second}) {
        QVERIFY(process->waitForFinished(120000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }
    QCOMPARE(db.zeiten().size(), 2 * each);
}

void TestTData::openSelectDoesNotBlockWriters()
{
    TestDatabase db;
    for (int i = 0; i < 50; ++i)
        db.addZeiten({0, 7, false, day + i});
    OpenData reader(db);
    reader.data.DataModuleCreate();
    // The window keeps its query open while it is shown when a read failed half-way.
    reader.data.OpenSelect(
        QStringLiteral("select * from zeiten where maid=7 order by zeitkommt desc"));
    QCOMPARE(reader.data.FieldAsDateTime(QStringLiteral("zeitkommt")), day + 49);

    OpenData writer(db);
    writer.data.DataModuleCreate();
    QCOMPARE(failureOf([&] { writer.data.InsertZeiten(arrival(8, at0802, QString())); }),
             QStringLiteral("(no failure)"));
    QCOMPARE(reader.data.RecordCount(), 50);
}

void TestTData::lockHeldByAnotherWriter()
{
    TestDatabase db;
    OpenData open(db);
    open.data.DataModuleCreate();

    // Another user takes the whole database (SQLite) or the table (PostgreSQL) and keeps it.
    QSqlDatabase other = db.connection();
    const bool sqlite = db.engine() == Database::Engine::SQLite;
    QVERIFY(QSqlQuery(other).exec(sqlite ? QStringLiteral("BEGIN EXCLUSIVE")
                                         : QStringLiteral("BEGIN")));
    if (!sqlite)
        QVERIFY(
            QSqlQuery(other).exec(QStringLiteral("LOCK TABLE zeiten IN ACCESS EXCLUSIVE MODE")));

    // The arrival waits a while, then gives up in the engine's words instead of hanging.
    const QString failure
        = failureOf([&] { open.data.InsertZeiten(arrival(7, at0802, QStringLiteral("x"))); });
    QVERIFY2(failure.contains(QLatin1String("lock"), Qt::CaseInsensitive), qPrintable(failure));

    QVERIFY(QSqlQuery(other).exec(QStringLiteral("ROLLBACK")));
    open.data.InsertZeiten(arrival(7, at0802, QStringLiteral("x")));
    QCOMPARE(db.zeiten().size(), 1);
}

// The other side of twoProcessesInsert: inserts `count` arrivals through its own data module.
static int insertArrivals(const QString &executable, int count)
{
    try {
        TData data(executable, [] {});
        data.DataModuleCreate();
        for (int i = 0; i < count; ++i)
            data.InsertZeiten(arrival(QCoreApplication::applicationPid() % 1000, at0802 + i,
                                      QStringLiteral("parallel")));
    } catch (const Failure &failure) {
        qCritical("%s", qPrintable(failure.message()));
        return 1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--insert"))
        return insertArrivals(arguments.at(2), arguments.at(3).toInt());
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--without-drivers")) {
        // The other side of missingDriver: Qt finds its plugins in an empty folder only.
        QCoreApplication::setLibraryPaths({arguments.at(3)});
        TData data(arguments.at(2), [] {});
        std::printf("%s\n", qPrintable(failureOf([&] { data.DataModuleCreate(); })));
        return 0;
    }
    TestTData test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tdata.moc"
