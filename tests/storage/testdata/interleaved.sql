# Rows that arrive interleaved across the five cursors; {..} holds a chunk's
# bytes in hex, stored encoded. Items (keys 1-4): the root with its data in
# chunks 1-3, A, B under A, C with its data in chunk 7.
insert into res_item values (9999999, 1, 5, 'note', '@ROOT', 2, 1)
insert into res_item values (1, 9999999, '', '', '', '', '')
insert into res_item values (2, 9999999, 3, '', '#4', 0, 0)
insert into res_item values (1, 7, 6, '', '', 0, 0)
# Chunks 1-3: the root's data "a\0", "'c", "e".
insert into binary values (9999999, 0, '{61 00}')
insert into binary values (1, 1, '{27 63}')
insert into binary values (1, 2, '{65}')
# Chunk 4: the root's binary property; 5: data of A's 1031; 6: binary
# property of that translation; 7: C's data.
insert into binary values (9999999, 0, '{50 51}')
insert into binary values (9999999, 0, '{54 31}')
insert into binary values (9999999, 0, '{54 50}')
insert into binary values (9999999, 0, '{43 43}')
# Translation keys 1-3: A's 1031 and 1036 (no text), C's 1031.
insert into trans_item values (2, 5, 0, '', 1031, 3, 'Hallo é')
insert into trans_item values (2, 9999999, 0, '', 1036, 0, '')
insert into trans_item values (4, 9999999, 0, '', 1031, 1, 'Zwei')
# The two property cursors are filtered from one table.
insert into prop (parent_key, name, type, binary_key, string, value, prop_type) values (1, '@tp', 3, 6, '', '', 2)
insert into prop (parent_key, name, type, binary_key, string, value, prop_type) values (1, '@s', 1, 9999999, 'text', '', 1)
insert into prop (parent_key, name, type, binary_key, string, value, prop_type) values (1, '@bin', 3, 4, '', '', 1)
insert into prop (parent_key, name, type, binary_key, string, value, prop_type) values (3, '@n', 2, 9999999, '', '12', 2)
insert into prop (parent_key, name, type, binary_key, string, value, prop_type) values (2, '@empty', 2, 9999999, '', '', 1)
insert into prop (parent_key, name, type, binary_key, string, value, prop_type) values (4, '@c', 1, 9999999, 'cc', '', 1)
