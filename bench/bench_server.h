#pragma once

// The 240-entry group (120 a session on 60 courts, 26 weeks twice a week)
// generated on a SQLite file and on PostgreSQL, over the local Unix socket
// and over TCP on 127.0.0.1. The server databases are named by the
// environment: VANTREL_BENCH_PG_SOCKET and VANTREL_BENCH_PG_TCP, each the URI
// of a database for the benchmark alone (its group is deleted again after);
// a connection not named is left out.
void benchServer();
