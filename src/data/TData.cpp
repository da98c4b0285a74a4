#include "TData.h"

#include "Configuration.h"
#include "Database.h"
#include "DateTimeValue.h"
#include "Failure.h"
#include "TextLimits.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>
#include <limits>

namespace {

const QString notConnected
    = QStringLiteral("TKADaoTable.OpenDaoRecordset: Database is NOT connected");
const QString cannotExecute = QStringLiteral("TKADaoTable.ExecuteSQL: Cannot execute SQL query "
                                             "while Database is not Assigned or Connected!");
const QString noDatabaseProperty
    = QStringLiteral("TKADaoDatabase.F_Set_Active: Database property is not defined!");

// The kinds of the dataset fields, named as the dataset's messages name them.
enum class Kind { Integer, Boolean, DateTime, String, Other };

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Integer:
        return QStringLiteral("Integer");
    case Kind::Boolean:
        return QStringLiteral("Boolean");
    case Kind::DateTime:
        return QStringLiteral("DateTime");
    case Kind::String:
        return QStringLiteral("String");
    case Kind::Other:
        break;
    }
    return QStringLiteral("Unknown");
}

// The persistent fields of Zeiten in the dataset's order; InsertZeiten fills them by
// position. ID is assigned by the database and never written.
struct PersistentField
{
    const char *name;
    Kind kind;
    bool readOnly;
};

constexpr PersistentField zeitenFields[] = {
    {"MAid", Kind::Integer, false},
    {"Anwesend", Kind::Boolean, false},
    {"Zeitkommt", Kind::DateTime, false},
    {"KorrekturKommt", Kind::Integer, false},
    {"Bemerkung", Kind::String, false},
    {"Zeitgeht", Kind::DateTime, false},
    {"Korrekturgeht", Kind::Integer, false},
    {"Bemerkung2", Kind::String, false},
    {"ID", Kind::Integer, true},
    {"typgeht", Kind::Integer, false},
};

// How a column of the database presents itself. Date-time values are stored as numbers
// (days since 30.12.1899), so a floating-point column is a date-time column.
Kind columnKind(const QMetaType &type, QString *foundName)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        *foundName = QStringLiteral("Integer");
        return Kind::Integer;
    case QMetaType::Bool:
        *foundName = QStringLiteral("Boolean");
        return Kind::Boolean;
    case QMetaType::Double:
    case QMetaType::Float:
        *foundName = QStringLiteral("Float");
        return Kind::DateTime;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        *foundName = QStringLiteral("DateTime");
        return Kind::DateTime;
    case QMetaType::QString:
        *foundName = QStringLiteral("String");
        return Kind::String;
    default:
        *foundName = QString::fromLatin1(type.name() ? type.name() : "Unknown");
        return Kind::Other;
    }
}

int indexOfColumn(const QSqlRecord &record, const QString &name)
{
    for (int i = 0; i < record.count(); ++i) {
        if (record.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

double toMilliseconds(double value)
{
    return std::round(value * DateTimeValue::msPerDay) / DateTimeValue::msPerDay;
}

// PostgreSQL takes no NUL in a text, and Qt's driver writes bound values into the
// statement text, where a NUL cuts the statement short and the engine answers with a
// syntax error. SQLite would store it, but a booking must not depend on the engine: such
// a text is refused on both, with a message of its own, before anything is sent.
const QString textWithNul
    = QStringLiteral("Ein Text enthält das Zeichen NUL (#0); die Datenbank nimmt ihn nicht an");

void refuseNul(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString && value.toString().contains(QChar(0)))
        throw Failure(textWithNul);
}

[[noreturn]] void failEngine(const QSqlError &error)
{
    throw Failure(Database::engineMessage(error));
}

bool run(QSqlQuery &query, const QString &statement, const QVariantList &bindings)
{
    // Without bindings the text goes to the engine as it stands: nothing in it, not even a
    // colon, is taken for a parameter marker.
    if (bindings.isEmpty())
        return query.exec(statement);
    for (const QVariant &value : bindings)
        refuseNul(value);
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : bindings)
        query.addBindValue(value);
    return query.exec();
}

} // namespace

class TData::Private
{
public:
    QString executablePath;
    std::function<void()> requestEnd;
    QString connectionName;
    // Open only after a successful DataModuleCreate.
    QSqlDatabase datenbank;
    // "query": open between OpenSelect and CloseSelect, with its exact row count.
    std::unique_ptr<QSqlQuery> query;
    int recordCount = 0;

    bool connected() const { return datenbank.isOpen(); }

    void closeConnection()
    {
        query.reset();
        if (datenbank.isValid()) {
            datenbank.close();
            datenbank = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
        }
    }

    QVariant fieldValue(const QString &name) const
    {
        const int index = query ? indexOfColumn(query->record(), name) : -1;
        if (index < 0)
            throw Failure(QStringLiteral("query: Das Feld '%1' wurde nicht gefunden").arg(name));
        // An empty result has no current row: every field reads as NULL.
        if (!query->isValid())
            return {};
        return query->value(index);
    }

    QVariant insertValue(const PersistentField &field, const QVariant &value) const;
    void checkUpdatable();
};

QVariant TData::Private::insertValue(const PersistentField &field, const QVariant &value) const
{
    if (value.isNull())
        return {};
    switch (field.kind) {
    case Kind::Integer: {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || value.typeId() == QMetaType::Bool)
            throw Failure(
                QStringLiteral("'%1' ist kein gültiger Integerwert").arg(value.toString()));
        return number;
    }
    case Kind::Boolean:
        if (value.typeId() == QMetaType::Bool)
            return value.toBool();
        if (isNumber(value))
            return value.toDouble() != 0;
        if (value.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (value.toString().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        throw Failure(
            QStringLiteral("'%1' ist kein gültiger Boolescher Wert").arg(value.toString()));
    case Kind::DateTime:
        if (value.typeId() == QMetaType::QDateTime)
            return toMilliseconds(DateTimeValue::fromDateTime(value.toDateTime()));
        if (value.typeId() == QMetaType::QDate)
            return DateTimeValue::fromDate(value.toDate());
        if (isNumber(value))
            return toMilliseconds(value.toDouble());
        throw Failure(
            QStringLiteral("'%1' ist kein gültiges Datum und Uhrzeit").arg(value.toString()));
    case Kind::String: {
        // An empty remark is stored as no value at all, as the old data always held it.
        // Only what is stored counts: a NUL beyond the cut never reaches the database.
        const QVariant text
            = TextLimits::firstCharacters(value.toString(), TextLimits::remarkLength);
        refuseNul(text);
        return text.toString().isEmpty() ? QVariant() : text;
    }
    case Kind::Other:
        break;
    }
    return value;
}

void TData::Private::checkUpdatable()
{
    QSqlQuery probe(datenbank);
    bool updatable = true;
    if (datenbank.driverName() == QLatin1String("QPSQL")) {
        if (!probe.exec(QStringLiteral("select has_table_privilege('Zeiten', 'INSERT')")))
            failEngine(probe.lastError());
        updatable = probe.next() && probe.value(0).toBool();
    } else {
        if (!probe.exec(QStringLiteral("PRAGMA database_list")))
            failEngine(probe.lastError());
        while (probe.next()) {
            if (probe.value(1).toString() == QLatin1String("main")) {
                const QString file = probe.value(2).toString();
                updatable = file.isEmpty() || QFileInfo(file).isWritable();
            }
        }
    }
    if (!updatable)
        throw Failure(QStringLiteral(
            "Zeiten: Eine Datenmenge, die nur zum Lesen ist, kann nicht geändert werden"));
}

TData::TData(const QString &executablePath, std::function<void()> requestEnd)
    : d(new Private)
{
    d->executablePath = executablePath;
    d->requestEnd = std::move(requestEnd);
    d->connectionName = QStringLiteral("datenbank-%1").arg(reinterpret_cast<quintptr>(this));
}

TData::~TData()
{
    // Datasets first, then the connection.
    d->closeConnection();
}

void TData::DataModuleCreate()
{
    const Configuration configuration = ReadConfiguration(d->executablePath);
    if (configuration.databasePath == "*") {
        if (d->requestEnd)
            d->requestEnd();
        return;
    }
    d->closeConnection();
    if (configuration.databasePath.isEmpty())
        throw Failure(noDatabaseProperty);
    d->datenbank
        = Database::open(d->connectionName, QFile::decodeName(configuration.databasePath),
                         configuration.password, QFileInfo(d->executablePath).absolutePath());
}

bool TData::connected() const
{
    return d->connected();
}

void TData::OpenSelect(const QString &statement, const QVariantList &bindings)
{
    CloseSelect();
    if (!d->connected())
        throw Failure(notConnected);
    auto query = std::make_unique<QSqlQuery>(d->datenbank);
    if (!run(*query, statement, bindings))
        failEngine(query->lastError());
    if (query->driver()->hasFeature(QSqlDriver::QuerySize)) {
        d->recordCount = std::max(0, query->size());
    } else {
        // SQLite reads rows as they are asked for and holds a shared lock on the file until
        // the last one has been read, which would keep every other workstation from
        // booking while a query stays open. So the whole result is read now; that also
        // gives the exact count.
        const bool anyRow = query->last();
        // A row that cannot be read (a damaged page) ends the reading like the last row
        // would; the count must not pass for exact then.
        if (query->lastError().isValid())
            failEngine(query->lastError());
        d->recordCount = anyRow ? query->at() + 1 : 0;
    }
    query->first();
    d->query = std::move(query);
}

int TData::RecordCount()
{
    return d->query ? d->recordCount : 0;
}

qint32 TData::FieldAsInteger(const QString &name)
{
    const QVariant value = d->fieldValue(name);
    if (value.isNull())
        return 0;
    if (value.typeId() == QMetaType::Double) {
        const double number = std::round(value.toDouble());
        // Outside the 32-bit range the conversion would wrap to a wrong number.
        if (!(number >= std::numeric_limits<qint32>::min()
              && number <= std::numeric_limits<qint32>::max()))
            throw Failure(
                QStringLiteral("'%1' ist kein gültiger Integerwert").arg(value.toString()));
        return static_cast<qint32>(number);
    }
    bool ok = false;
    const qint32 number = value.toInt(&ok);
    if (!ok)
        throw Failure(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(value.toString()));
    return number;
}

QString TData::FieldAsString(const QString &name)
{
    const QVariant value = d->fieldValue(name);
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

bool TData::FieldAsBoolean(const QString &name)
{
    const QVariant value = d->fieldValue(name);
    if (value.isNull())
        return false;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (isNumber(value))
        return value.toDouble() != 0;
    const QString text = value.toString();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0
        || text == QLatin1String("0"))
        return false;
    throw Failure(QStringLiteral("'%1' ist kein gültiger Boolescher Wert").arg(text));
}

double TData::FieldAsDateTime(const QString &name)
{
    const QVariant value = d->fieldValue(name);
    if (value.isNull())
        return 0;
    if (value.typeId() == QMetaType::QDateTime)
        return toMilliseconds(DateTimeValue::fromDateTime(value.toDateTime()));
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw Failure(
            QStringLiteral("'%1' ist kein gültiges Datum und Uhrzeit").arg(value.toString()));
    return toMilliseconds(number);
}

void TData::CloseSelect()
{
    d->query.reset();
    d->recordCount = 0;
}

void TData::InsertZeiten(const QVariantList &values)
{
    if (!d->connected())
        throw Failure(notConnected);

    // Bind the persistent fields to the table's columns, as the dataset does when it opens.
    QStringList columns;
    {
        QSqlQuery table(d->datenbank);
        if (!table.exec(QStringLiteral("select * from Zeiten where 1=0")))
            failEngine(table.lastError());
        const QSqlRecord record = table.record();
        for (const PersistentField &field : zeitenFields) {
            const QString name = QLatin1String(field.name);
            const int index = indexOfColumn(record, name);
            if (index < 0)
                throw Failure(
                    QStringLiteral("Zeiten: Das Feld '%1' wurde nicht gefunden").arg(name));
            QString found;
            if (columnKind(record.field(index).metaType(), &found) != field.kind)
                throw Failure(
                    QStringLiteral("Zeiten: Unterschiedliche Typen für Feld '%1'; erwartet: %2, "
                                   "gefunden: %3")
                        .arg(name, kindName(field.kind), found));
            columns << d->datenbank.driver()->escapeIdentifier(record.fieldName(index),
                                                               QSqlDriver::FieldName);
        }
    }
    d->checkUpdatable();

    const qsizetype fieldCount = std::size(zeitenFields);
    if (values.size() > fieldCount)
        throw Failure(QStringLiteral("Zeiten: Zu viele Werte (%1) für %2 Felder")
                          .arg(values.size())
                          .arg(fieldCount));
    QStringList assigned;
    QVariantList bound;
    for (qsizetype k = 0; k < values.size(); ++k) {
        const PersistentField &field = zeitenFields[k];
        if (field.readOnly)
            throw Failure(QStringLiteral("Zeiten: Das Feld '%1' kann nicht geändert werden")
                              .arg(QLatin1String(field.name)));
        assigned << columns.at(k);
        bound << d->insertValue(field, values.at(k));
    }

    // Fields that were not assigned are not sent: they get the column's default.
    QString statement = QStringLiteral("insert into Zeiten ");
    if (assigned.isEmpty())
        statement += QStringLiteral("default values");
    else
        statement += QStringLiteral("(%1) values (%2)")
                         .arg(assigned.join(QStringLiteral(", ")),
                              QStringList(assigned.size(), QStringLiteral("?"))
                                  .join(QStringLiteral(", ")));
    QSqlQuery insert(d->datenbank);
    if (!insert.prepare(statement))
        failEngine(insert.lastError());
    for (const QVariant &value : bound)
        insert.addBindValue(value);
    // One statement: the engine stores the whole row or none of it.
    if (!insert.exec())
        failEngine(insert.lastError());
}

int TData::ExecuteStatement(const QString &statement, const QVariantList &bindings)
{
    CloseSelect();
    if (!d->connected())
        throw Failure(cannotExecute);
    QSqlQuery query(d->datenbank);
    if (!run(query, statement, bindings))
        failEngine(query.lastError());
    return std::max(0, query.numRowsAffected());
}
