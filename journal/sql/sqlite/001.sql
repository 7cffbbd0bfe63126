-- The journal: one chain of rows that are never changed. Searchable columns come first so a
-- scan reads them without the content; the content and the received bytes come last.
CREATE TABLE journal_schema_version (version INTEGER PRIMARY KEY, applied_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);

CREATE TABLE journal_row (
  seq INTEGER PRIMARY KEY,
  kind TEXT NOT NULL,
  uuid TEXT NOT NULL UNIQUE,
  entry_uuid TEXT NOT NULL,
  recorded_at TEXT NOT NULL,
  bench TEXT NOT NULL,
  run_start TEXT,
  sample_id TEXT,
  sample_weight REAL,
  method_name TEXT,
  first_ep_volume REAL,
  first_ep_signal REAL,
  result_line TEXT,
  search_text TEXT,
  state TEXT,
  received_sha256 TEXT,
  prev_sha256 TEXT NOT NULL,
  row_sha256 TEXT NOT NULL,
  content TEXT NOT NULL,
  received BLOB
);

-- The list, newest first, read from the index alone.
CREATE INDEX journal_entry_list ON journal_row (run_start, seq, bench, method_name, search_text, uuid)
  WHERE kind = 'entry';

-- Earlier sample identifications, for the search.
CREATE INDEX journal_edit_search ON journal_row (search_text, entry_uuid) WHERE kind = 'edit';

CREATE INDEX journal_row_by_entry ON journal_row (entry_uuid, seq);

CREATE TRIGGER journal_row_never_updated BEFORE UPDATE ON journal_row
  BEGIN SELECT RAISE(ABORT, 'journal rows are never changed'); END;

CREATE TRIGGER journal_row_never_deleted BEFORE DELETE ON journal_row
  BEGIN SELECT RAISE(ABORT, 'journal rows are never deleted'); END;
