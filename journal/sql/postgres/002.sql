-- The list's text search on a server of a million entries: a trigram index finds the few
-- entries whose sample, method or result line contains the text without reading every row.
-- pg_trgm is a trusted extension: the database's owner may create it.
CREATE EXTENSION IF NOT EXISTS pg_trgm;

CREATE INDEX journal_entry_search ON journal_row USING gin (search_text gin_trgm_ops) WHERE kind = 'entry';

CREATE INDEX journal_edit_search_text ON journal_row USING gin (search_text gin_trgm_ops) WHERE kind = 'edit';

-- Noted by the script itself, so a database whose owner ran it by hand is known to have it.
INSERT INTO journal_schema_version (version) VALUES (2) ON CONFLICT DO NOTHING;
