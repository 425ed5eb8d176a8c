SET NAMES utf8mb4;
UPDATE registro SET busy='SIM' WHERE id IN (5, 7);
