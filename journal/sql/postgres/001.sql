-- The Korvane results journal on a PostgreSQL server. Korvane applies this script itself when
-- its user may create tables; otherwise the database owner runs it once:
--   psql -d <database> -f journal/sql/postgres/001.sql
-- Benches log in as roles that are members of korvane_bench: they may read and insert, nothing else.
--
-- Maintenance (restoring from a backup, moving the journal): rows can be changed or removed only
-- in a session of the owner that first runs
--   SET korvane.journal_maintenance = 'on';
-- Every such change is then visible to verify as a broken chain unless the chain is whole again.

-- Roles belong to the whole server: another database may be creating the same one right now.
DO $$ BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'korvane_bench') THEN
    CREATE ROLE korvane_bench NOLOGIN;
  END IF;
EXCEPTION WHEN duplicate_object OR unique_violation THEN
  NULL;
END $$;

CREATE TABLE journal_schema_version (version integer PRIMARY KEY, applied_at timestamptz NOT NULL DEFAULT now());

CREATE TABLE journal_row (
  seq bigint PRIMARY KEY,
  kind text NOT NULL,
  uuid text NOT NULL UNIQUE,
  entry_uuid text NOT NULL,
  recorded_at text NOT NULL,
  bench text NOT NULL,
  run_start text,
  sample_id text,
  sample_weight double precision,
  method_name text,
  first_ep_volume double precision,
  first_ep_signal double precision,
  result_line text,
  search_text text,
  state text,
  received_sha256 text,
  prev_sha256 text NOT NULL UNIQUE,
  row_sha256 text NOT NULL,
  content text NOT NULL,
  received bytea
);
CREATE INDEX journal_entry_list ON journal_row (run_start, seq) INCLUDE (bench, method_name, search_text, uuid)
  WHERE kind = 'entry';
CREATE INDEX journal_edit_search ON journal_row (search_text, entry_uuid) WHERE kind = 'edit';
CREATE INDEX journal_entry_by_bench ON journal_row (bench, run_start, seq) WHERE kind = 'entry';
CREATE INDEX journal_entry_by_method ON journal_row (method_name, run_start, seq) WHERE kind = 'entry';
CREATE INDEX journal_row_by_entry ON journal_row (entry_uuid, seq);

-- One chain over all benches. Every writer takes the same transaction lock before it reads the
-- chain's last row, and the server checks that each new row follows that row and carries the
-- right hash, so two benches can never both append after the same row.
CREATE FUNCTION journal_row_follows_chain() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
  last_seq bigint;
  last_sha256 text;
BEGIN
  IF current_setting('korvane.journal_maintenance', true) = 'on' THEN
    RETURN NEW;
  END IF;
  PERFORM pg_advisory_xact_lock(7283457001);
  SELECT seq, row_sha256 INTO last_seq, last_sha256 FROM journal_row ORDER BY seq DESC LIMIT 1;
  IF NEW.seq <> coalesce(last_seq, 0) + 1 OR NEW.prev_sha256 <> coalesce(last_sha256, repeat('0', 64)) THEN
    RAISE EXCEPTION 'journal row % does not follow the last row of the chain', NEW.seq USING ERRCODE = '40001';
  END IF;
  IF NEW.row_sha256 <> encode(sha256(convert_to(NEW.prev_sha256 || NEW.content, 'UTF8')), 'hex') THEN
    RAISE EXCEPTION 'journal row % does not carry the hash of its content', NEW.seq USING ERRCODE = '23514';
  END IF;
  RETURN NEW;
END $$;

CREATE FUNCTION journal_row_unchanged() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF current_setting('korvane.journal_maintenance', true) = 'on' THEN
    RETURN coalesce(NEW, OLD);
  END IF;
  RAISE EXCEPTION 'journal rows are never changed or removed (korvane.journal_maintenance is off)'
    USING ERRCODE = '42501';
END $$;

CREATE TRIGGER journal_row_follows_chain BEFORE INSERT ON journal_row
  FOR EACH ROW EXECUTE FUNCTION journal_row_follows_chain();
CREATE TRIGGER journal_row_never_changed BEFORE UPDATE OR DELETE ON journal_row
  FOR EACH ROW EXECUTE FUNCTION journal_row_unchanged();
CREATE TRIGGER journal_row_never_truncated BEFORE TRUNCATE ON journal_row
  FOR EACH STATEMENT EXECUTE FUNCTION journal_row_unchanged();

GRANT SELECT, INSERT ON journal_row TO korvane_bench;
GRANT SELECT ON journal_schema_version TO korvane_bench;

-- Noted by the script itself, so a database whose owner ran it by hand is known to have it.
INSERT INTO journal_schema_version (version) VALUES (1) ON CONFLICT DO NOTHING;
