-- A year of hours in ARCHIVE1H, made for the tests: the hour before 14:05:09 UTC on 5 December
-- 2024 and 8759 before it, less one day 40 days back (a gap): a slow swell of pressure with its
-- hourly extremes, every fifth hour without a position, the elevation changed once.
WITH RECURSIVE k(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM k WHERE n < 8759)
INSERT INTO ARCHIVE1H SELECT hour, mean, mean - 0.3 - (n % 4) * 0.1, mean + 0.2 + (n % 3) * 0.1, 600 - n % 9,
    CASE WHEN n % 5 THEN -5.0 + n * 0.0011 ELSE 0.0 END, CASE WHEN n % 5 THEN 44.0 + n * 0.0005 ELSE 0.0 END,
    (n * 13 % 3600) / 10.0, (n * 7 % 150) / 10.0, CASE WHEN n < 4000 THEN 3.0 ELSE 0.0 END, (n % 3) * 0.25 - 0.25
FROM (SELECT n, 1733403600 - 3600 * n AS hour, 995.0 + abs(n % 240 - 120) * 0.25 + (n % 7) * 0.013 AS mean FROM k)
WHERE n / 24 != 40;
