-- A full year of varied rows in BARO3H, every seventh without a position;
-- 1800 rows as the longer tables hold them.
WITH RECURSIVE k(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM k WHERE n < 1799)
INSERT INTO BARO3H SELECT 1733407509 - 17531 * n,
    CASE WHEN n % 7 THEN -179.99 + n * 0.19997 ELSE 0.0 END,
    CASE WHEN n % 7 THEN -89.9 + n * 0.0999 ELSE 0.0 END,
    (n * 29 % 3600) / 10.0, (n * 37 % 3000) / 100.0, 960.0 + n * 0.0437, (n % 5) * 10.3, (n % 3) * 0.35 - 0.35
FROM k;
