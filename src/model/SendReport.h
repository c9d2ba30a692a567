#pragma once
// The outcome of one send-all run, item by item, for callers that report
// more than the progress line (the command-line tool's JSON output). Filled
// by CardSession::sendAll and kept as CardSession::lastSendReport().

#include "model/Outcome.h"

#include <QString>
#include <vector>

struct SendItemResult {
    enum class Outcome {
        NotSent, // never reached: the send ended before this item
        Sent,
        Skipped, // failed, and the user chose to go on without it
        Failed,  // failed, and the user stopped the send at it
    };

    int index = 0; // position in the play list
    QString name;  // the item's displayName
    Outcome outcome = Outcome::NotSent;
    int firstPageNumber = 0; // page number of its first page on the card (0: none)
    int pageCount = 0;       // pages the item had when it was sent
    int attempts = 0;        // times it was sent (retries included)
    QString errorText;       // reason of the last failed attempt
    QString pageProblem;     // why its picture went as a black page (empty: it did not)
};

struct SendReport {
    enum class End {
        NotRun,       // no send has run yet
        Completed,    // every item was attempted
        Cancelled,    // the cancel button or the Cancel answer stopped it
        NoConnection, // the port could not be opened; nothing was sent
        ClearFailed,  // clearing failed and the user declined to retry
        OverBudget,   // the pages would pass the page budget; nothing was sent
    };

    End end = End::NotRun;
    int itemCount = 0;
    int sentCount = 0;
    int pagesSent = 0;
    QString errorText; // the connection or clearing failure, if any
    OutcomeCode errorCode = OutcomeCode::Ok; // the connection failure's code
    std::vector<SendItemResult> items;
};
