-- Small archive with known answers for the search tests. Dates 2012-05-13
-- to 2012-05-17; registro 12 has no call row and integra's id_reg 99 has no
-- recording row, so neither ever shows. busy is set by the variant files.
SET NAMES utf8mb4;
INSERT INTO registro (id, data_ini, hora_ini, path, obs, sentido) VALUES
 (1, '2012-05-13', '07:59:59', 'D:\\Gravacoes\\2012\\05\\13\\ramal2001a.wav', NULL, 'Entrada'),
 (2, '2012-05-13', '08:00:00', 'D:\\Gravacoes\\2012\\05\\13\\ramal2001b.wav', 'CLIENTE PEDIU RETORNO', 'Saída'),
 (3, '2012-05-14', '08:30:00', 'D:\\Gravacoes\\2012\\05\\14\\ramal2002a.wav', 'O''BRIEN LIGOU', 'Entrada'),
 (4, '2012-05-14', '08:59:59', 'D:\\Gravacoes\\2012\\05\\14\\ramal2002b.wav', 'VER C:\\TEMP\\ARQUIVO', 'Saída'),
 (5, '2012-05-14', '09:00:00', 'D:\\Gravacoes\\2012\\05\\14\\ramal2003.wav', 'ligação urgente', 'Entrada'),
 (6, '2012-05-15', '08:15:00', 'D:\\Gravacoes\\2012\\05\\15\\nb1.wav', '', 'Saída'),
 (7, '2012-05-15', '12:00:00', 'D:\\Gravacoes\\2012\\05\\15\\nb2.wav', NULL, 'Saída'),
 (8, '2012-05-15', '23:59:59', 'D:\\Gravacoes\\2012\\05\\15\\restr.wav', NULL, 'Entrada'),
 (9, '2012-05-16', '08:10:00', 'D:\\Gravacoes\\2012\\05\\16\\oneil.wav', NULL, 'Entrada'),
 (10, '2012-05-16', '10:00:00', 'Não Atendida', NULL, 'Entrada'),
 (11, '2012-05-17', '08:00:00', '', NULL, 'Saída'),
 (12, '2012-05-14', '08:40:00', 'D:\\Gravacoes\\2012\\05\\14\\orfa.wav', 'ORFA', 'Entrada');
INSERT INTO integra (id_reg, ramal, duracao, numero, bilhete) VALUES
 (1, '2001', '00:01:10', '1133334444', 'B1'),
 (2, '2001', '00:02:00', '21999990000', 'B2'),
 (3, '2002', '00:00:30', '1133335555', 'B3'),
 (4, '2002', '00:10:00', '48333312', NULL),
 (5, '2003', '00:00:05', '1133334444', 'B5'),
 (6, 'N/B', '00:00:07', '5555', NULL),
 (7, 'N/B', '00:00:08', '6666', NULL),
 (8, 'Restr', '00:03:00', '7777', 'B8'),
 (9, 'O''NEIL', '00:00:09', '3333', 'B9'),
 (10, '', '00:00:00', NULL, NULL),
 (11, 'X\\', '00:00:11', '1111', 'B11'),
 (99, '2001', '00:00:01', '1133334444', 'ORPHAN');
