#include "TData.h"

#include "Failure.h"

class TData::Private
{
public:
    QString executablePath;
    std::function<void()> requestEnd;
};

TData::TData(const QString &executablePath, std::function<void()> requestEnd)
    : d(new Private{executablePath, std::move(requestEnd)})
{
}

TData::~TData() = default;

void TData::DataModuleCreate() { d->requestEnd(); }
bool TData::connected() const { return false; }
void TData::OpenSelect(const QString &, const QVariantList &) { throw Failure(QStringLiteral("TKADaoTable.OpenDaoRecordset: Database is NOT connected")); }
int TData::RecordCount() { return 0; }
qint32 TData::FieldAsInteger(const QString &) { return 0; }
QString TData::FieldAsString(const QString &) { return {}; }
bool TData::FieldAsBoolean(const QString &) { return false; }
double TData::FieldAsDateTime(const QString &) { return 0; }
void TData::CloseSelect() { }
void TData::InsertZeiten(const QVariantList &) { throw Failure(QStringLiteral("TKADaoTable.OpenDaoRecordset: Database is NOT connected")); }
int TData::ExecuteStatement(const QString &, const QVariantList &) { throw Failure(QStringLiteral("TKADaoTable.ExecuteSQL: Cannot execute SQL query while Database is not Assigned or Connected!")); }
