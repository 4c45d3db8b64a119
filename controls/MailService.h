#pragma once

// The message the mail component hands to the system's mail service, and the
// service itself behind a small interface so that tests stand in for it.
// Recipient classes, flags and results keep the values of the Simple MAPI
// calling convention the component was designed around.

#include <QString>

#include <cstdint>
#include <vector>

// Recipient classes.
inline constexpr uint32_t MAPI_ORIG = 0;
inline constexpr uint32_t MAPI_TO = 1;
inline constexpr uint32_t MAPI_CC = 2;
inline constexpr uint32_t MAPI_BCC = 3;

// Send flags.
inline constexpr uint32_t MAPI_LOGON_UI = 0x1;
inline constexpr uint32_t MAPI_NEW_SESSION = 0x2;
inline constexpr uint32_t MAPI_DIALOG = 0x8;

// Results.
inline constexpr int SUCCESS_SUCCESS = 0;
inline constexpr int MAPI_USER_ABORT = 1;
inline constexpr int MAPI_E_FAILURE = 2;
inline constexpr int MAPI_E_ATTACHMENT_NOT_FOUND = 11;
inline constexpr int MAPI_E_ATTACHMENT_OPEN_FAILURE = 12;

struct TMapiRecipDesc
{
    uint32_t ulReserved = 0;
    uint32_t ulRecipClass = MAPI_ORIG;
    QString lpszName;
    QString lpszAddress;
    // No entry identifier is ever supplied.
    uint32_t ulEIDSize = 0;
};

struct TMapiFileDesc
{
    uint32_t ulReserved = 0;
    uint32_t flFlags = 0;
    // -1: the attachment is not placed in the note text.
    int32_t nPosition = -1;
    QString lpszPathName;
    QString lpszFileName;
};

struct TMapiMessage
{
    uint32_t ulReserved = 0;
    QString lpszSubject;
    QString lpszNoteText;
    uint32_t flFlags = 0;
    TMapiRecipDesc Originator;
    std::vector<TMapiRecipDesc> Recips;
    std::vector<TMapiFileDesc> Files;
};

class TMailService
{
public:
    virtual ~TMailService() = default;
    // False when the system has no mail service to hand a message to.
    virtual bool Available() const = 0;
    // Hands the message over with the send flags; returns one of the results
    // above (SUCCESS_SUCCESS when the mail program took it).
    virtual int SendMail(const TMapiMessage& Message, uint32_t Flags) = 0;
};
