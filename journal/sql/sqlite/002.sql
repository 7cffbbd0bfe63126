-- The bench's journal as the outbox of a lab server: a row's uuid is noted here once the server
-- has it. Rows are only added, as in the journal.
CREATE TABLE journal_sent (uuid TEXT PRIMARY KEY, sent_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);
